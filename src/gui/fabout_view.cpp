#include "gui/fabout_view.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>

#include "gui/binders.h"

namespace plx::gui {

FAboutView::FAboutView(const ProgramState& state, controls::Shell& shell, QWidget* owner)
    : QDialog(owner),
      controls_(std::make_unique<FAboutControls>()),
      model_(std::make_unique<windows::FAbout>(*controls_, state, shell)) {
    model_->Form_Load();
    auto& c = *controls_;
    bind(c.fAbout, this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* g = new QGridLayout(this);
    g->setContentsMargins(18, 14, 18, 14);
    g->setHorizontalSpacing(10);
    g->setVerticalSpacing(6);
    auto make = [this](controls::Label& m) {
        auto* w = new ClickLabel(this);
        bind(m, w);
        w->setTextInteractionFlags(Qt::NoTextInteraction);
        return w;
    };
    auto link = [&](controls::Label& m) {
        auto* w = make(m);
        QFont f = w->font();
        f.setUnderline(true);
        w->setFont(f);
        w->setCursor(Qt::PointingHandCursor);
        return w;
    };

    int row = 0;
    auto* company = make(c.lbl_Orvanto);
    QFont bold = company->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    company->setFont(bold);
    g->addWidget(company, row++, 0, 1, 2);
    // lbl_Orvanto_Anschrift covers the address block and shows nothing of its own
    g->addWidget(make(c.Label3), row, 0, 1, 2);
    g->addWidget(make(c.lbl_Orvanto_Anschrift), row++, 0, 1, 2);
    g->setRowMinimumHeight(row++, 6);
    g->addWidget(make(c.lbltxtHyperlink), row, 0);
    g->addWidget(link(c.lblHyperlink), row++, 1);
    g->addWidget(make(c.lbltxtEmail), row, 0);
    g->addWidget(link(c.lblemail), row++, 1);
    g->setRowMinimumHeight(row++, 6);
    g->addWidget(make(c.lblVersion), row++, 0, 1, 2);
    g->addWidget(make(c.Label2), row, 0);
    g->addWidget(make(c.Label1), row++, 1);
    g->addWidget(make(c.lblCopyright), row++, 0, 1, 2);
    auto* notice = make(c.lbl_Software_Hinweis);
    notice->setWordWrap(true);
    g->addWidget(notice, row++, 0, 1, 2);
    // what this build is made of and under which terms, for a support call or a licence question
    g->setRowMinimumHeight(row++, 6);
    auto* qt = new QLabel(QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())));
    qt->setObjectName(QStringLiteral("qt_version"));
    g->addWidget(qt, row++, 0, 1, 2);
    auto* licence = new QLabel(QStringLiteral(PLX24_LICENSE_LINE));
    licence->setObjectName(QStringLiteral("licence"));
    licence->setWordWrap(true);
    g->addWidget(licence, row++, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    g->addWidget(buttons, row++, 0, 1, 2);
    g->setColumnStretch(1, 1);
    setMinimumWidth(440);

    adjustSize();
    // centred on the screen when loaded
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void show_about(const ProgramState& state, controls::Shell& shell, QWidget* owner) {
    FAboutView view(state, shell, owner);
    view.exec();
}

}  // namespace plx::gui
