// The channel display dialog "表示チャンネルの選択" and the wiring of the
// graph's dialog hooks.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "graph/fgraph.h"
#include "graph/graph_dialogs.h"
#include "graph/graph_print.h"
#include "model/cur_accessors.h"
#include "model/model_state.h"
#include "platform/grid.h"

namespace mq {

DlgChDispSw::DlgChDispSw(fGraph& graph, QWidget* parent) : QDialog(parent), m_graph(&graph) {
    setModal(true);
    auto* top = new QVBoxLayout(this);
    auto* Frame1 = new QGroupBox(this);
    auto* rows = new QGridLayout(Frame1);
    const GraphState& g = graph_state();
    setWindowTitle(QStringLiteral("表示チャンネルの選択"));
    for (int ch = 1; ch <= 4; ++ch) {
        QCheckBox*& box = chkChDraw[size_t(ch - 1)];
        QLabel*& swatch = Label1[size_t(ch - 1)];
        box = new QCheckBox(QStringLiteral("CH%1").arg(ch), Frame1);
        swatch = new QLabel(Frame1);
        swatch->setFixedSize(48, 14);
        swatch->setAutoFillBackground(true);
        QPalette pal = swatch->palette();
        pal.setColor(QPalette::Window, platform::basicColour(quint32(g.ch_g_color[ch])));
        swatch->setPalette(pal);
        swatch->setFrameShape(QFrame::Box);
        box->setChecked(g.ch_graph_draw_sw[ch]);
        if (g.ch_unit_text[ch].isEmpty()) {
            box->setChecked(false);
            box->setEnabled(false);
        }
        rows->addWidget(box, ch - 1, 0);
        rows->addWidget(swatch, ch - 1, 1);
    }
    top->addWidget(Frame1);
    auto* buttons = new QHBoxLayout;
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    Command1 = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    OKButton->setDefault(true);
    for (QPushButton* b : {OKButton, CancelButton, Command1}) buttons->addWidget(b);
    top->addLayout(buttons);
    connect(OKButton, &QPushButton::clicked, this, &DlgChDispSw::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &DlgChDispSw::CancelButton_Click);
    connect(Command1, &QPushButton::clicked, this, &DlgChDispSw::Command1_Click);
}

void DlgChDispSw::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Centred on the screen.
    if (QScreen* s = screen()) {
        const QRect a = s->geometry();
        move(a.x() + a.width() / 2 - width() / 2, a.y() + a.height() / 2 - height() / 2);
    }
}

void DlgChDispSw::OKButton_Click() {
    GraphState& g = graph_state();
    // A disabled box is unchecked, so a channel without data stores False.
    for (int ch = 1; ch <= 4; ++ch) g.ch_graph_draw_sw[ch] = chkChDraw[size_t(ch - 1)]->isChecked();
    accept();
    if (m_graph) m_graph->redraw();
}

void DlgChDispSw::CancelButton_Click() { reject(); }

void DlgChDispSw::Command1_Click() { show_help(this, model().help_file, help_context::DlgChDispSw); }

// ---------------------------------------------------------------- wiring

void install_graph_dialog_targets(GraphTargets& targets) {
    targets[GraphCommand::RangeDialog] = [](fGraph& g) {
        auto* d = new fGrarange2(g);
        d->show();
    };
    targets[GraphCommand::SvlineDialog] = [](fGraph& g) {
        auto* d = new fGrasvline(g);
        d->show();
    };
    targets[GraphCommand::ChannelDialog] = [](fGraph& g) {
        DlgChDispSw d(g, &g);
        d.exec();
    };
    targets[GraphCommand::GraphPrint] = [](fGraph& g) { graph_print(g); };
    targets[GraphCommand::PageSetup] = [](fGraph& g) { graph_page_setup(g); };
    targets[GraphCommand::PrinterSetup] = [](fGraph& g) { graph_printer_setup(g); };
}

}  // namespace mq
