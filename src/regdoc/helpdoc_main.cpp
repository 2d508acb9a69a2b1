// plx24_helpdoc <folder>: writes the German and the English register description as PDF documents
// under the names Help opens (run at build time, under the offscreen platform).

#include <cstdio>
#include <string>
#include <vector>

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>

#include "lang/apply_language.h"
#include "lang/register_terms.h"
#include "lang/texts.h"
#include "regdoc/pdf_outline.h"
#include "regdoc/register_description.h"

namespace {

// "\Doc\name.pdf" -> "name.pdf": the folder part is the install step's business
QString file_name(const char* help_document) {
    QString path = QString::fromUtf8(help_document);
    return path.mid(path.lastIndexOf(u'\\') + 1);
}

// The document's text in the page, page by page with its number at the foot, and a bookmark for
// each group where its heading landed.
bool write_pdf(const QString& path, const std::string& language_code) {
    const QFont font(QStringLiteral("DejaVu Sans"), 8);
    QTextDocument doc;
    doc.setDefaultFont(font);
    // a document without a paint device lays out in the screen's logical pixels
    const qreal dpi =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->logicalDotsPerInchY() : 96;
    std::vector<plx::regdoc::Bookmark> bookmarks;
    {
        QPdfWriter pdf(path);
        pdf.setTitle(QString::fromStdString(plx::lang::term(plx::lang::Term::document_title, language_code)));
        pdf.setCreator(QStringLiteral("plx24cfg " PLX24_VERSION));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        const QRectF paint = pdf.pageLayout().paintRect(QPageLayout::Millimeter);
        const qreal footer = 2 * QFontMetricsF(font).height();
        const QSizeF page(paint.width() / 25.4 * dpi, paint.height() / 25.4 * dpi - footer);
        doc.setPageSize(page);
        const plx::regdoc::TextMeasure measure{
            [&font](const std::string& text, bool bold) {
                QFont f = font;
                f.setBold(bold);
                return QFontMetricsF(f).horizontalAdvance(QString::fromStdString(text));
            },
            page.width() - 2 * doc.documentMargin()};
        doc.setHtml(QString::fromStdString(plx::regdoc::help_html(language_code, PLX24_VERSION, measure)));

        const int pages = doc.pageCount();
        QPainter p(&pdf);
        if (!p.isActive()) return false;
        const qreal scale = pdf.logicalDpiY() / dpi;
        for (int i = 0; i < pages; ++i) {
            if (i > 0) pdf.newPage();
            p.save();
            p.scale(scale, scale);
            const QRectF shown(0, i * page.height(), page.width(), page.height());
            p.translate(0, -shown.top());
            p.setClipRect(shown);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = shown;
            doc.documentLayout()->draw(&p, context);
            p.restore();
            p.save();
            p.scale(scale, scale);
            p.setFont(font);
            p.drawText(
                QRectF(0, page.height(), page.width(), footer), Qt::AlignRight | Qt::AlignBottom,
                QString::fromStdString(plx::lang::message(plx::lang::Message::help_page_of, language_code,
                                                          {std::to_string(i + 1), std::to_string(pages)})));
            p.restore();
        }
        p.end();
        // each group's heading: the page it landed on
        for (const std::string& title : plx::regdoc::section_titles(language_code)) {
            for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
                if (b.blockFormat().headingLevel() != 2 || b.text().toStdString() != title) continue;
                const qreal top = doc.documentLayout()->blockBoundingRect(b).top();
                bookmarks.push_back({title, static_cast<int>(top / page.height())});
                break;
            }
        }
    }
    QFile written(path);
    if (!written.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = written.readAll();
    written.close();
    const auto marked = plx::regdoc::with_outline(bytes.toStdString(), bookmarks);
    if (!marked || bookmarks.size() != plx::regdoc::section_titles(language_code).size()) return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(marked->data(), static_cast<qint64>(marked->size()));
    return out.commit();
}

}  // namespace

int main(int argc, char** argv) {
    // no display at build time
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "%s: cannot create the folder %s\n", argv[0], argv[1]);
        return 1;
    }
    const std::pair<const char*, const char*> documents[] = {
        {plx::lang::kHelpDocumentGerman, plx::lang::kGerman},
        {plx::lang::kHelpDocumentEnglish, plx::lang::kEnglish},
    };
    for (const auto& [document, language] : documents) {
        const QString path = dir.filePath(file_name(document));
        if (!write_pdf(path, language)) {
            std::fprintf(stderr, "%s: could not write %s\n", argv[0], qPrintable(path));
            return 1;
        }
    }
    return 0;
}
