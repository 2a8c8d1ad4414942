#include "platform/interface_locale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace mq::platform {

namespace {

// Texts of Qt's widgets that its Japanese translation does not carry.
class MissingQtTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* source, const char*, int) const override {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return QString();
        if (qstrcmp(source, "Folder") == 0) return QStringLiteral("フォルダー");
        if (qstrcmp(source, "Drive") == 0) return QStringLiteral("ドライブ");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

void use_japanese_locale() { QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan)); }

void install_japanese_qt_texts(QCoreApplication& app) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(qt);
    }
    app.installTranslator(new MissingQtTexts(&app));
}

}  // namespace mq::platform
