// plx24_helpdoc <folder>: writes the German and the English register description as PDF documents
// under the names Help opens (run at build time, under the offscreen platform).

#include <cstdio>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include "lang/apply_language.h"
#include "regdoc/register_description.h"

namespace {

// "\Doc\name.pdf" -> "name.pdf": the folder part is the install step's business
QString file_name(const char* help_document) {
    QString path = QString::fromUtf8(help_document);
    return path.mid(path.lastIndexOf(u'\\') + 1);
}

bool write_pdf(const QString& path, const std::string& language_code) {
    QTextDocument doc;
    doc.setHtml(QString::fromStdString(plx::regdoc::help_html(language_code, PLX24_VERSION)));
    QPdfWriter pdf(path);
    pdf.setTitle(doc.metaInformation(QTextDocument::DocumentTitle));
    pdf.setCreator(QStringLiteral("plx24cfg " PLX24_VERSION));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                  QPageLayout::Millimeter));
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    doc.print(&pdf);
    return QFileInfo(path).size() > 0;
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
