#include "platform/text_limit.h"

#include "platform/cp932.h"

#include <QLineEdit>

namespace mq::platform {

ByteLimitValidator::ByteLimitValidator(QLineEdit* box, int maxBytes)
    : QValidator(box), m_maxBytes(maxBytes), m_accepted(box ? box->text() : QString()) {
    if (box) connect(box, &QLineEdit::textChanged, this, [this](const QString& t) { m_accepted = t; });
}

QValidator::State ByteLimitValidator::validate(QString& input, int& pos) const {
    if (cp932::byteLength(input) <= m_maxBytes) return Acceptable;

    // Find the part the edit inserted: what lies between the common prefix and
    // the common suffix of the old and the new text.
    const QString& old = m_accepted;
    int p = 0;
    const int common = int(qMin(old.size(), input.size()));
    while (p < common && old[p] == input[p]) ++p;
    int s = 0;
    while (s < common - p && old[old.size() - 1 - s] == input[input.size() - 1 - s]) ++s;
    const QString left = input.left(p);
    const QString right = input.right(s);
    const QString inserted = input.mid(p, input.size() - p - s);

    const int kept = cp932::byteLength(left) + cp932::byteLength(right);
    if (kept > m_maxBytes) {
        // Not an insertion into a text that fit (a whole text set at once):
        // keep its first bytes.
        input = cp932::cutToBytes(input, m_maxBytes);
        pos = int(qMin<qsizetype>(pos, input.size()));
        return Acceptable;
    }
    const QString cut = cp932::cutToBytes(inserted, m_maxBytes - kept);
    // A full box takes nothing more. The edit is answered with the text
    // without the insertion rather than refused: a refused text set by the
    // program would stay whole.
    input = left + cut + right;
    pos = int(left.size() + cut.size());
    return Acceptable;
}

void setTextLimit(QLineEdit* box, int maxBytes) {
    if (!box) return;
    auto* current = qobject_cast<ByteLimitValidator*>(const_cast<QValidator*>(box->validator()));
    if (maxBytes < 1) {
        if (current) {
            box->setValidator(nullptr);
            current->deleteLater();
        }
        return;
    }
    if (current) {
        current->setMaxBytes(maxBytes);
        return;
    }
    box->setValidator(new ByteLimitValidator(box, maxBytes));
}

}  // namespace mq::platform
