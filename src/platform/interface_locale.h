#pragma once
// The program speaks Japanese whatever the system's locale: Qt's own widgets
// take their month and day names (calendars), the kinds of files (file
// dialogs) and similar texts from the default locale, which is set to
// Japanese before the first widget is made, and their words from Qt's
// Japanese translation.
//
// Numbers never go through a locale: every number text the program shows,
// writes or reads is made and parsed by platform/numbers.h (and QString's
// locale-free number functions) with a '.' decimal point and no grouping.
class QCoreApplication;
class QFileDialog;

namespace mq::platform {

void use_japanese_locale();

// Qt's Japanese translation, the few texts of Qt's dialogs it lacks (the
// kind of a folder in the file dialog), and the Japanese file columns below
// for the file dialogs Qt makes itself; all live as long as `app`.
void install_japanese_qt_texts(QCoreApplication& app);

// Qt's own file dialog writes its size and date columns with the system's
// locale, not the default one; this gives the dialog a view of its files
// that writes them in Japanese whatever the system's locale. Shown texts
// only: sorting stays on the sizes and times themselves.
void use_japanese_file_columns(QFileDialog& dialog);

}  // namespace mq::platform
