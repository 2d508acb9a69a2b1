#include "commission/print.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include "commission/document.h"
#include "lang/texts.h"

namespace plx::commission {

void print_document(const Document& d, QPagedPaintDevice& device) {
    QTextDocument doc;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(7.5);
    doc.setDefaultFont(font);
    // laid out at the device's resolution, so that a point is a point on paper
    doc.documentLayout()->setPaintDevice(&device);
    doc.setDocumentMargin(0);
    doc.setHtml(QString::fromStdString(document_html(d)));
    const QRectF area = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const qreal footer_height = QFontMetricsF(font, &device).height() * 2;
    // the pages our own, so the whole width inside the margins is the text's and each page has its footer
    const QSizeF page(area.width(), area.height() - footer_height);
    doc.setPageSize(page);
    const int pages = doc.pageCount();
    QPainter p(&device);
    p.setFont(font);
    for (int n = 0; n < pages; ++n) {
        if (n > 0) device.newPage();
        p.save();
        p.translate(0, -n * page.height());
        doc.drawContents(&p, QRectF(QPointF(0, n * page.height()), page));
        p.restore();
        const QString text = QString::fromStdString(
            lang::substitute(d.footer, {std::to_string(n + 1), std::to_string(pages)}));
        p.drawText(QRectF(0, page.height(), page.width(), footer_height), Qt::AlignRight | Qt::AlignBottom,
                   text);
    }
}

std::optional<std::string> write_pdf(const Document& d, const std::string& path) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(QString::fromStdString(d.title));
        pdf.setCreator(QStringLiteral("plx24ctl"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(14, 14, 14, 12), QPageLayout::Millimeter));
        print_document(d, pdf);
    }
    if (!file.commit()) return file.errorString().toStdString();
    return std::nullopt;
}

}  // namespace plx::commission
