#include "gui/help_view.h"

#include <algorithm>

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPdfBookmarkModel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSelection>
#include <QPdfView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "editor/remembered.h"
#include "gui/binders.h"
#include "gui/frm_config_view.h"
#include "lang/texts.h"

namespace plx::gui {

namespace {

using lang::Message;

QString say(Message id, const std::string& language, const std::vector<std::string>& args = {}) {
    return qs(lang::message(id, language, args));
}

constexpr qreal kZoomStep = 1.25;
constexpr qreal kLeastZoom = 0.25;
constexpr qreal kMostZoom = 6.0;

QToolButton* tool(const QString& text, const QString& tip, const QString& name) {
    auto* b = new QToolButton;
    b->setText(text);
    b->setToolTip(tip);
    b->setObjectName(name);
    b->setAutoRaise(true);
    return b;
}

}  // namespace

HelpWindow::HelpWindow(Parts parts) : QWidget(nullptr, Qt::Window), parts_(parts) {
    const std::string& language = parts_.state.language_code;
    setObjectName(QStringLiteral("help_window"));
    setWindowTitle(say(Message::help_title, language));
    // the main window's end ends the program, whatever this window does
    setAttribute(Qt::WA_QuitOnClose, false);

    document_ = new QPdfDocument(this);
    view_ = new QPdfView;
    view_->setObjectName(QStringLiteral("help_view"));
    view_->setDocument(document_);
    view_->setPageMode(QPdfView::PageMode::MultiPage);
    view_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    bookmarks_ = new QPdfBookmarkModel(this);
    bookmarks_->setDocument(document_);

    contents_ = new QTreeView;
    contents_->setObjectName(QStringLiteral("help_contents"));
    contents_->setModel(bookmarks_);
    contents_->setHeaderHidden(true);
    contents_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* contents_box = new QWidget;
    auto* cv = new QVBoxLayout(contents_box);
    cv->setContentsMargins(0, 0, 0, 0);
    cv->addWidget(new QLabel(say(Message::help_contents, language)));
    cv->addWidget(contents_);

    auto* previous = tool(QStringLiteral("◀"), say(Message::help_previous_page, language),
                          QStringLiteral("help_previous"));
    auto* next =
        tool(QStringLiteral("▶"), say(Message::help_next_page, language), QStringLiteral("help_next"));
    page_ = new QSpinBox;
    page_->setObjectName(QStringLiteral("help_page"));
    page_->setToolTip(say(Message::help_page_of, language, {"…", "…"}));
    auto* zoom_out =
        tool(QStringLiteral("−"), say(Message::help_zoom_out, language), QStringLiteral("help_zoom_out"));
    auto* zoom_in =
        tool(QStringLiteral("+"), say(Message::help_zoom_in, language), QStringLiteral("help_zoom_in"));
    auto* fit = new QPushButton(say(Message::help_fit_width, language));
    fit->setObjectName(QStringLiteral("help_fit_width"));
    search_box_ = new QLineEdit;
    search_box_->setObjectName(QStringLiteral("help_search"));
    search_box_->setClearButtonEnabled(true);
    search_box_->setMinimumWidth(fontMetrics().horizontalAdvance(QString(12, u'x')));
    found_ = new QLabel;
    auto* external = new QPushButton(say(Message::help_open_external, language));
    external->setObjectName(QStringLiteral("help_external"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(previous);
    bar->addWidget(page_);
    bar->addWidget(next);
    bar->addSpacing(12);
    bar->addWidget(zoom_out);
    bar->addWidget(zoom_in);
    bar->addWidget(fit);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(say(Message::help_search, language)));
    bar->addWidget(search_box_, 1);
    bar->addWidget(found_);
    bar->addSpacing(12);
    bar->addWidget(external);

    split_ = new QSplitter;
    split_->addWidget(contents_box);
    split_->addWidget(view_);
    split_->setStretchFactor(1, 1);

    auto* v = new QVBoxLayout(this);
    v->addLayout(bar);
    v->addWidget(split_, 1);

    QPdfPageNavigator* nav = view_->pageNavigator();
    connect(previous, &QToolButton::clicked, this, [this, nav] { go_to_page(nav->currentPage() - 1); });
    connect(next, &QToolButton::clicked, this, [this, nav] { go_to_page(nav->currentPage() + 1); });
    connect(page_, &QSpinBox::editingFinished, this, [this] { go_to_page(page_->value() - 1); });
    connect(nav, &QPdfPageNavigator::currentPageChanged, this, [this] { show_page_number(); });
    const auto zoom_by = [this](qreal factor) {
        const qreal z = std::clamp(view_->zoomFactor() * factor, kLeastZoom, kMostZoom);
        view_->setZoomMode(QPdfView::ZoomMode::Custom);
        view_->setZoomFactor(z);
    };
    connect(zoom_in, &QToolButton::clicked, this, [zoom_by] { zoom_by(kZoomStep); });
    connect(zoom_out, &QToolButton::clicked, this, [zoom_by] { zoom_by(1 / kZoomStep); });
    connect(fit, &QPushButton::clicked, this, [this] { view_->setZoomMode(QPdfView::ZoomMode::FitToWidth); });
    connect(search_box_, &QLineEdit::returnPressed, this, [this] { find_next(search_box_->text()); });
    connect(search_box_, &QLineEdit::textChanged, this, [this] {
        result_ = -1;
        found_->clear();
    });
    connect(external, &QPushButton::clicked, this, [this] { open_external(); });
    connect(contents_, &QTreeView::activated, this, [this](const QModelIndex& i) {
        go_to_page(i.data(static_cast<int>(QPdfBookmarkModel::Role::Page)).toInt());
    });
    connect(contents_, &QTreeView::clicked, this, [this](const QModelIndex& i) {
        go_to_page(i.data(static_cast<int>(QPdfBookmarkModel::Role::Page)).toInt());
    });
    auto* find_keys = new QAction(this);
    find_keys->setShortcut(QKeySequence::Find);
    connect(find_keys, &QAction::triggered, this, [this] { search_box_->setFocus(); });
    addAction(find_keys);
    auto* close_keys = new QAction(this);
    close_keys->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(close_keys, &QAction::triggered, this, &QWidget::close);
    addAction(close_keys);

    resize(1000, 720);
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::show_document(const QString& path) {
    if (path != path_ || document_->status() != QPdfDocument::Status::Ready) {
        if (document_->load(path) != QPdfDocument::Error::None) {
            path_.clear();
            return false;
        }
        path_ = path;
        page_->setRange(1, std::max(1, document_->pageCount()));
        contents_->expandAll();
        // the bookmarks whole where the window has room for them
        int widest = 0;
        for (int r = 0; r < bookmarks_->rowCount(); ++r)
            widest =
                std::max(widest, fontMetrics().horizontalAdvance(bookmarks_->index(r, 0).data().toString()));
        split_->setSizes({std::min(widest + 40, width() / 4), width()});
        go_to_page(0);
    }
    show();
    raise();
    activateWindow();
    return true;
}

void HelpWindow::go_to_page(int page) {
    if (document_->pageCount() <= 0) return;
    page = std::clamp(page, 0, document_->pageCount() - 1);
    view_->pageNavigator()->jump(page, {}, view_->pageNavigator()->currentZoom());
    show_page_number();
}

void HelpWindow::show_page_number() {
    const std::string& language = parts_.state.language_code;
    const int page = view_->pageNavigator()->currentPage();
    const QSignalBlocker quiet(page_);
    page_->setSuffix(QStringLiteral(" / %1").arg(document_->pageCount()));
    page_->setValue(page + 1);
    page_->setToolTip(say(Message::help_page_of, language,
                          {std::to_string(page + 1), std::to_string(document_->pageCount())}));
}

bool HelpWindow::find_next(const QString& text) {
    const std::string& language = parts_.state.language_code;
    if (text.trimmed().isEmpty()) return false;
    // every place on every page, in reading order; the document is a few pages long
    struct Place {
        int page;
        QPointF at;
    };
    std::vector<Place> places;
    for (int page = 0; page < document_->pageCount(); ++page) {
        const QString all = document_->getAllText(page).text();
        for (qsizetype i = all.indexOf(text, 0, Qt::CaseInsensitive); i >= 0;
             i = all.indexOf(text, i + 1, Qt::CaseInsensitive)) {
            const QRectF where =
                document_->getSelectionAtIndex(page, static_cast<int>(i), static_cast<int>(text.size()))
                    .boundingRectangle();
            places.push_back({page, where.topLeft()});
        }
    }
    if (places.empty()) {
        found_->setText(say(Message::help_not_found, language));
        return false;
    }
    result_ = (result_ + 1) % static_cast<int>(places.size());
    const Place& p = places[static_cast<std::size_t>(result_)];
    go_to_page(p.page);
    // the view turns to the page's top; the place itself lies this far below it, and a few lines
    // above it stay in sight
    const QMargins margins = view_->documentMargins();
    const qreal page_width = document_->pagePointSize(p.page).width();
    const qreal pixels_per_point =
        view_->zoomMode() == QPdfView::ZoomMode::FitToWidth && page_width > 0
            ? (view_->viewport()->width() - margins.left() - margins.right()) / page_width
            : view_->zoomFactor() * logicalDpiY() / 72.0;
    QScrollBar* bar = view_->verticalScrollBar();
    bar->setValue(bar->value() + static_cast<int>((p.at.y() - 30) * pixels_per_point));
    found_->setText(say(Message::help_found, language,
                        {std::to_string(result_ + 1) + "/" + std::to_string(places.size())}));
    return true;
}

void HelpWindow::open_external() {
    const std::string& language = parts_.state.language_code;
    bool opened = false;
    if (!path_.isEmpty()) opened = parts_.shell.open(path_.toStdString());
    if (!opened) {
        parts_.messages.show_ok(
            lang::message(Message::help_not_opened, language, {path_.toStdString()}));
    }
}

HelpView::HelpView(FrmConfigView& view,
                   HelpWindow::Parts parts,
                   std::function<bool(const std::string& path)>& show_help)
    : QObject(&view), view_(view), parts_(parts), show_help_(show_help) {
    show_help_ = [this](const std::string& path) {
        const bool first = !window_;
        if (first) window_ = std::make_unique<HelpWindow>(parts_);
        if (first && view_.screen() != nullptr) {
            // beside the main window where the screen has room, so the fields stay in sight
            const QRect a = view_.screen()->availableGeometry();
            const QRect main = view_.frameGeometry();
            const editor::WindowRect r =
                editor::beside({main.x(), main.y(), main.width(), main.height()}, window_->width(),
                               window_->height(), {a.x(), a.y(), a.width(), a.height()});
            window_->resize(r.width, r.height);
            window_->move(r.left, r.top);
        }
        return window_->show_document(qs(path));
    };
}

HelpView::~HelpView() {
    show_help_ = nullptr;
}

}  // namespace plx::gui
