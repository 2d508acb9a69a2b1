#include "gui/frm_state_view.h"

#include <memory>

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "gui/binders.h"

namespace plx::gui {

FrmStateView::FrmStateView(FrmStateControls& c, QWidget* owner) : QDialog(nullptr) {
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    bind(c.frmState, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(8);

    auto* text = new ClickLabel(this);
    bind(c.lblTxt, text);
    layout->addWidget(text);

    auto* frame = new QFrame(this);
    auto* frame_layout = new QVBoxLayout(frame);
    frame_layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QProgressBar(frame);
    bar->setTextVisible(false);
    bar->setMinimumWidth(260);
    bind(c.ProgressFile, bar);
    frame_layout->addWidget(bar);
    bind(c.frameProgress, frame);
    layout->addWidget(frame);

    // cancel sits in the place of the close button and covers it while shown
    auto* buttons = new QGridLayout();
    auto* ok = new QPushButton(this);
    bind(c.cmdOK, ok);
    auto* cancel = new QPushButton(this);
    bind(c.Abbruch, cancel);
    buttons->addWidget(ok, 0, 1);
    buttons->addWidget(cancel, 0, 1);
    buttons->setColumnStretch(0, 1);
    buttons->setColumnStretch(2, 1);
    layout->addLayout(buttons);

    adjustSize();
    setFixedSize(sizeHint());
    // in front of the main window without being its child
    winId();
    if (owner && owner->window()->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(owner->window()->windowHandle());
    if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void FrmStateView::closeEvent(QCloseEvent* e) {
    e->ignore();
}

void attach_status_view(windows::FrmState& model, QWidget* owner) {
    auto view = std::make_shared<QPointer<FrmStateView>>();
    model.on_load = [view, owner](FrmStateControls& c) {
        if (*view) (*view)->deleteLater();
        *view = new FrmStateView(c, owner);
    };
    model.on_show = [view] {
        if (!*view) return;
        (*view)->show();
        (*view)->raise();
    };
    // the unload may run inside the dialog's own click: let Qt finish with it first
    model.on_unload = [view] {
        if (!*view) return;
        (*view)->hide();
        (*view)->deleteLater();
        *view = nullptr;
    };
}

}  // namespace plx::gui
