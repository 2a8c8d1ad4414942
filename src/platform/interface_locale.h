#pragma once
// The program speaks Japanese whatever the system's locale: Qt's own widgets
// take their month and day names (calendars), the kinds of files (file
// dialogs) and similar texts from the default locale, which is set to
// Japanese before the first widget is made, and their words from Qt's
// Japanese translation. Qt's file dialog writes its size and date columns
// with the system's locale instead: every file dialog is given a view of its
// files that writes them with the default one (shown texts only; sorting
// stays on the sizes and times themselves), and its columns are sized to
// those texts.
//
// Numbers never go through a locale: every number text the program shows,
// writes or reads is made and parsed by platform/numbers.h (and QString's
// locale-free number functions) with a '.' decimal point and no grouping.
class QCoreApplication;

namespace mq::platform {

// The Japanese default locale, and the file dialogs' columns for `app`.
void use_japanese_locale(QCoreApplication& app);

// Qt's Japanese translation and the few texts of Qt's dialogs it lacks (the
// kind of a folder in the file dialog); both live as long as `app`.
void install_japanese_qt_texts(QCoreApplication& app);

}  // namespace mq::platform
