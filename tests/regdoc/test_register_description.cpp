// Every field and output value carries its register in a tooltip, and the help documents made from
// the register map name every data point's address.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../support/null_platform.h"
#include "program/program.h"
#include "device/register_map.h"
#include "lang/apply_language.h"
#include "link/fake_serial_port.h"
#include "regdoc/register_description.h"

namespace plx::regdoc {
namespace {

std::string hex4(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}

struct Started {
    link::FakeSerialPort port;
    controls::VirtualClock clock;
    test::RecordingMessages messages;
    test::NoFiles files;
    test::NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    explicit Started(const char* language) {
        auto store = std::make_unique<settings::MemoryStore>();
        store->put(settings::Root::machine, QString::fromLatin1(settings::kProgramKey),
                   QStringLiteral("Language"), QString::fromLatin1(language));
        program.settings = std::move(store);
        program.start();
    }
};

TEST(FieldTooltips, EveryFieldNamesItsRegisterRangeAndUnit) {
    namespace rm = device::regmap;
    for (const char* language : {lang::kGerman, lang::kEnglish}) {
        Started s(language);
        FrmConfig& f = s.program.form;
        const bool en = std::string(language) == lang::kEnglish;
        struct Row {
            std::string name;          // the control array
            std::string group;         // the words the tooltip starts with
            std::vector<int> indices;  // where the array has controls
            std::function<const controls::Control&(int)> control;
            std::function<unsigned(int)> address;
        };
        auto all = [](const auto& array) { return array.indices(); };
        const std::vector<Row> rows = {
            {"txt_data_cfg", en ? "Configuration register" : "Konfigurationsregister", all(f.txt_data_cfg),
             [&](int k) -> const controls::Control& { return f.txt_data_cfg[k]; },
             [](int k) { return rm::cfg_register_group.address(k); }},
            {"cmb_cfg", en ? "Configuration register" : "Konfigurationsregister", all(f.cmb_cfg),
             [&](int k) -> const controls::Control& { return f.cmb_cfg[k]; },
             [](int k) { return rm::cfg_register_group.address(k); }},
            {"chk_cfg", en ? "Configuration bit" : "Konfigurationsbit", all(f.chk_cfg),
             [&](int j) -> const controls::Control& { return f.chk_cfg[j]; },
             [](int j) { return rm::cfg_bit_group.address(j); }},
            {"cmb_bit_cfg", en ? "Configuration bit" : "Konfigurationsbit", all(f.cmb_bit_cfg),
             [&](int j) -> const controls::Control& { return f.cmb_bit_cfg[j]; },
             [](int j) { return rm::cfg_bit_group.address(j); }},
            {"chk_input", en ? "Input bit" : "Eingabebit", all(f.chk_input),
             [&](int j) -> const controls::Control& { return f.chk_input[j]; },
             [](int j) { return rm::input_bit_group.address(j); }},
            {"txt_data_in", en ? "Input register" : "Eingaberegister", all(f.txt_data_in),
             [&](int k) -> const controls::Control& { return f.txt_data_in[k]; },
             [](int k) { return rm::input_register_group.address(k); }},
            {"cmb_in", en ? "Input register" : "Eingaberegister", all(f.cmb_in),
             [&](int k) -> const controls::Control& { return f.cmb_in[k]; },
             [](int k) { return rm::input_register_group.address(k); }},
            {"txt_data_out", en ? "Output register" : "Ausgaberegister", all(f.txt_data_out),
             [&](int i) -> const controls::Control& { return f.txt_data_out[i]; },
             [](int i) { return rm::output_register_group.address(i); }},
            {"lbl_in_val", en ? "Output register" : "Ausgaberegister", all(f.lbl_in_val),
             [&](int i) -> const controls::Control& { return f.lbl_in_val[i]; },
             [](int i) { return rm::output_register_group.address(i); }},
        };
        const std::string range = en ? "\nRange: " : "\nBereich: ";
        for (const Row& r : rows) {
            ASSERT_FALSE(r.indices.empty()) << r.name;
            for (int i : r.indices) {
                const std::string tip = r.control(i).tooltip();
                const std::string what = r.name + "(" + std::to_string(i) + ") " + language + ": " + tip;
                EXPECT_EQ(tip.rfind(r.group + " " + std::to_string(i) + " – ", 0), 0U) << what;
                EXPECT_NE(tip.find(hex4(r.address(i))), std::string::npos) << what;
                EXPECT_NE(tip.find(range), std::string::npos) << what;
            }
        }
        // spot checks: a spinner's own bounds, a unit, a scale and a choice list in the user's words
        EXPECT_NE(f.txt_data_cfg[34].tooltip().find(en ? "-10 .. 10\nUnit: K · Scale: 0.1"
                                                       : "-10 .. 10\nEinheit: K · Skalierung: 0,1"),
                  std::string::npos);
        EXPECT_NE(f.cmb_bit_cfg[24].tooltip().find("1 = °C"), std::string::npos);
        EXPECT_NE(f.txt_data_out[2].tooltip().find("°F"), std::string::npos);
        // the port box keeps its device tooltip
        EXPECT_EQ(f.Combo_Port[0].tooltip(), s.port.device_name(3));
    }
}

#ifdef PLX24_HELPDOC_EXE
// pdftotext from poppler reads the documents as a PDF viewer does
TEST(HelpDocuments, TwoPdfsNamingEveryAddress) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess make;
    make.start(QStringLiteral(PLX24_HELPDOC_EXE), {dir.path()});
    ASSERT_TRUE(make.waitForFinished(120'000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();

    const std::pair<const char*, const char*> documents[] = {
        {lang::kHelpDocumentGerman, lang::kGerman},
        {lang::kHelpDocumentEnglish, lang::kEnglish},
    };
    for (const auto& [document, language] : documents) {
        const QString name = QString::fromUtf8(document).section(u'\\', -1);
        const QString pdf = dir.filePath(name);
        ASSERT_TRUE(QFileInfo(pdf).size() > 1000) << name.toStdString();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        ASSERT_TRUE(text.waitForStarted(10'000)) << "pdftotext (poppler-utils) is needed";
        ASSERT_TRUE(text.waitForFinished(60'000));
        const std::string content = QString::fromUtf8(text.readAllStandardOutput()).toStdString();
        for (Group g : kGroups) {
            for (const Point& p : describe(g, language)) {
                EXPECT_NE(content.find(hex4(p.address)), std::string::npos)
                    << name.toStdString() << ": " << point_name(p, language);
            }
        }
        EXPECT_NE(
            content.find(std::string(language) == lang::kEnglish ? "description" : "Registerbeschreibung"),
            std::string::npos);
        // no word broken inside a narrow column ("Konfiguratio" at a line's end, "nsbit 24" below)
        for (std::size_t at = content.find("nsbit"); at != std::string::npos; at = content.find("nsbit", at + 1))
            EXPECT_TRUE(at > 0 && content[at - 1] == 'o') << name.toStdString();
        // one bookmark per group, each on the page where its heading stands
        QProcess outline;
        outline.start(QStringLiteral("pdftohtml"),
                      {QStringLiteral("-xml"), QStringLiteral("-stdout"), QStringLiteral("-i"), QStringLiteral("-q"),
                       pdf});
        ASSERT_TRUE(outline.waitForFinished(60'000));
        const std::string xml = QString::fromUtf8(outline.readAllStandardOutput()).toStdString();
        for (const std::string& title : section_titles(language))
            EXPECT_NE(xml.find(">" + title + "</item>"), std::string::npos) << name.toStdString() << ": " << title;
    }
}
#endif

}  // namespace
}  // namespace plx::regdoc
