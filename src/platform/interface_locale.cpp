#include "platform/interface_locale.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QTreeView>

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

// The file list's size (1) and date (3) columns; a folder has no size.
class JapaneseFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == 3) return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        if (files->isDir(source)) return QString();
        return QLocale().formattedDataSize(files->size(source));
    }
};

// The Japanese texts are wider than the widths Qt gives the size, type and
// date columns of the detail view ("536 バイト" would show cut): they are
// sized to the texts of the folder shown whenever its files arrive (the
// folder is listed in the background) and when another folder is entered.
// The name column keeps its width.
void fitColumnsToTexts(QFileDialog* d) {
    auto* tree = d->findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!tree || !tree->model()) return;
    const auto fit = [tree] {
        for (int c = 1; c < tree->header()->count(); ++c) tree->resizeColumnToContents(c);
    };
    QObject::connect(tree->model(), &QAbstractItemModel::rowsInserted, tree,
                     [tree, fit](const QModelIndex& parent) {
                         if (parent == tree->rootIndex()) fit();
                     });
    QObject::connect(d, &QFileDialog::directoryEntered, tree, fit);
    fit();
}

// Every file dialog, the program's own and those Qt makes itself (the print
// dialog's file choice), gets the columns when it first shows.
class JapaneseFileDialogs : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Show) {
            if (auto* d = qobject_cast<QFileDialog*>(watched); d && !d->proxyModel()) {
                d->setProxyModel(new JapaneseFileColumns(d));
                fitColumnsToTexts(d);
            }
        }
        return false;
    }
};

}  // namespace

void use_japanese_locale(QCoreApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    app.installEventFilter(new JapaneseFileDialogs(&app));
}

void install_japanese_qt_texts(QCoreApplication& app) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(qt);
    }
    app.installTranslator(new MissingQtTexts(&app));
}

}  // namespace mq::platform
