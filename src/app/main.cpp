#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow home;
    home.setWindowTitle(QStringLiteral("マロウクイル"));
    home.resize(800, 600);
    home.show();
    return app.exec();
}
