#pragma once
// Limits what the user can type or paste into a line edit to a number of
// CP932 bytes (a double-byte character counts 2). An insertion that does not
// fit is cut at a character boundary (typing into a full box inserts nothing).
// A line edit validates texts set by the program too, so such a text is cut to
// the limit as well: the box never holds more than maxBytes bytes.
#include <QValidator>

class QLineEdit;

namespace mq::platform {

class ByteLimitValidator : public QValidator {
    Q_OBJECT
public:
    ByteLimitValidator(QLineEdit* box, int maxBytes);
    State validate(QString& input, int& pos) const override;
    int maxBytes() const { return m_maxBytes; }
    void setMaxBytes(int maxBytes) { m_maxBytes = maxBytes; }

private:
    int m_maxBytes;
    QString m_accepted;  // the box's text before the edit being validated
};

// Installs (or updates) the byte limit on the box; a limit below 1 removes it.
void setTextLimit(QLineEdit* box, int maxBytes);

}  // namespace mq::platform
