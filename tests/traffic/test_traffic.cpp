// The record of the line: each frame's meaning from the register map and its verdict, the reason
// of a failure, the bounded ring and the table a view shows, driven by the link on the virtual clock.
#include <gtest/gtest.h>

#include "../link/link_fixture.h"
#include "modbus/frame.h"
#include "modbus/wandeln.h"
#include "traffic/recorder.h"
#include "traffic/status.h"
#include "traffic/table.h"

namespace plx::traffic {
namespace {

constexpr const char* kGerman = "1031";
constexpr const char* kEnglish = "1033";

// A link opened in `mode` with a recorder watching it and a table over the recorder.
struct LineRig : link::testing::LinkRig {
    LineRig(const std::string& mode, const std::string& language) : ascii(mode == "ASCII") {
        recorder.framing = [this] { return ascii ? modbus::Framing::ascii : modbus::Framing::rtu; };
        link.observe(&recorder);
        table.style = {language, language == kEnglish ? '.' : ','};
        open(mode);
    }
    // The frame the unit sends for this content (hex without check sum).
    std::vector<std::uint8_t> framed(const std::string& content) const {
        if (!ascii) return modbus::rtu_frame(content);
        const std::string text = modbus::ascii_frame(content);
        return {text.begin(), text.end()};
    }
    void reply(std::vector<std::uint8_t> bytes) {
        port.inject(bytes);
        // one poll takes the bytes, one more is the silence that ends an RTU frame
        clock.advance(form.Timer4.interval());
        clock.advance(form.Timer4.interval());
    }
    // The rows of the table, each as "cell|cell|..." without the time.
    std::vector<std::string> rows() {
        table.accept_reset();
        std::vector<std::string> out;
        for (std::size_t i = 0; i < table.row_count(); ++i) {
            const Row& r = *table.row(i);
            out.push_back(table.cell(r, column_direction) + "|" + table.cell(r, column_meaning) + "|" +
                          table.cell(r, column_verdict));
        }
        return out;
    }

    bool ascii;
    Recorder recorder;
    Table table{recorder};
};

struct LineCase {
    const char* name;
    const char* mode;
    const char* language;
    const char* request;  // sent after the opening's read
    const char* reply;    // content hex; "echo": the request; "!" first: the check sum spoilt
    const char* sent;     // the request's row
    const char* answer;   // the answer's row
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class LineRecord : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineRecord, EachFrameWithItsMeaningAndVerdict) {
    const LineCase& c = GetParam();
    LineRig rig(c.mode, c.language);
    rig.link.transmit(c.request);
    std::string reply = c.reply;
    std::vector<std::uint8_t> bytes;
    if (reply == "echo") {
        bytes = rig.port.take_written();
    } else {
        const bool spoil = reply.front() == '!';
        bytes = rig.framed(spoil ? reply.substr(1) : reply);
        if (spoil) bytes[bytes.size() - (rig.ascii ? 3 : 1)] ^= 0x01;
    }
    rig.reply(bytes);
    const auto rows = rig.rows();
    // the opening's request (timed out when this one is the same), then this one and its answer
    std::size_t sent = rows.size();
    while (sent > 0 && rows[sent - 1].rfind("TX|", 0) != 0) --sent;
    ASSERT_GE(sent, 2u);
    ASSERT_LT(sent, rows.size());
    EXPECT_EQ(rows[sent - 1], std::string("TX|") + c.sent + "|");
    EXPECT_EQ(rows[sent], c.answer);
}

const char* const kRead33 = "010300210001";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Traffic, LineRecord,
    ::testing::Values(
        LineCase{"ConfigurationBlockRead", "RTU", kGerman, "0103001E000A",
                 "010314" "0001" "0000" "0005" "0032" "FFF1" "0014" "0000" "0005" "00DC" "0032",
                 "Konfigurationsregister 30..39 lesen",
                 "RX|30=1; 31=0; 32=5; 33=50; 34=-1,5; 35=2; 36=0; 37=0,5; 38=22; 39=5|ok"},
        LineCase{"OneRegisterInEnglish", "RTU", kEnglish, kRead33, "0103020032",
                 "read configuration register 33 (minimum response time of the unit, ms)", "RX|33=50|ok"},
        LineCase{"OutputRegisters", "RTU", kGerman, "010301000003", "010306F80100000000",
                 "Ausgaberegister 0..2 lesen", "RX|0=63489; 1=0; 2=0|ok"},
        LineCase{"ConfigurationBitsWritten", "RTU", kGerman, "010F000000200401000001", "010F00000020",
                 "Konfigurationsbits schreiben: gesetzt: 0, 24", "RX|Konfigurationsbits bestätigt|ok"},
        LineCase{"InputBitsRead", "RTU", kGerman, "010101000010", "0101020000",
                 "Eingabebits lesen", "RX|keins gesetzt|ok"},
        LineCase{"InputRegisterWrittenInEnglish", "RTU", kEnglish, "0110020800010200D7", "011002080001",
                 "write input register 8 (external temperature 1, degC): 8=21.5",
                 "RX|input register 8 (external temperature 1, degC) confirmed|ok"},
        LineCase{"BlockWriteRefused", "RTU", kGerman, "01100000000204000C0001", "019003",
                 "Konfigurationsregister 0..1 schreiben: 0=12; 1=1",
                 "RX|Ausnahme 03 (unzulässiger Datenwert)|Ausnahme 03 (unzulässiger Datenwert)"},
        LineCase{"ExceptionWithoutStandardMeaning", "RTU", kGerman, kRead33, "01830C",
                 "Konfigurationsregister 33 (minimale Antwortzeit des Geräts, ms) lesen", "RX|Ausnahme 0C|Ausnahme 0C"},
        LineCase{"CheckSumWrong", "RTU", kGerman, kRead33, "!0103020032",
                 "Konfigurationsregister 33 (minimale Antwortzeit des Geräts, ms) lesen", "RX|33=50|Prüfsumme falsch"},
        LineCase{"AnotherSlave", "RTU", kGerman, kRead33, "0203020032",
                 "Konfigurationsregister 33 (minimale Antwortzeit des Geräts, ms) lesen",
                 "RX|von Slave 2: 33=50|falsche Slave-Adresse"},
        LineCase{"Echo", "RTU", kEnglish, kRead33, "echo",
                 "read configuration register 33 (minimum response time of the unit, ms)",
                 "RX|read configuration register 33 (minimum response time of the unit, ms)|echo of the request"},
        LineCase{"ShortAnswerDoesNotFit", "RTU", kGerman, "0103001E000A", "0103020032",
                 "Konfigurationsregister 30..39 lesen", "RX|Slave 1, Funktion 03, 3 Datenbytes|passt nicht zur Anfrage"},
        LineCase{"AsciiRead", "ASCII", kGerman, kRead33, "0103020032",
                 "Konfigurationsregister 33 (minimale Antwortzeit des Geräts, ms) lesen", "RX|33=50|ok"},
        LineCase{"AsciiCheckSumWrong", "ASCII", kEnglish, kRead33, "!0103020032",
                 "read configuration register 33 (minimum response time of the unit, ms)", "RX|33=50|check sum wrong"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(LineRecordRaw, RtuAsHexAsciiAsTextWithItsLineEnd) {
    LineRig rtu("RTU", kGerman);
    rtu.rows();
    EXPECT_EQ(rtu.table.cell(*rtu.table.row(0), column_frame), "01 03 00 21 00 01 D4 00");
    LineRig ascii("ASCII", kGerman);
    ascii.port.inject(std::vector<std::uint8_t>{0x00, 0x1B});
    ascii.clock.advance(ascii.form.Timer4.interval());
    ascii.clock.advance(ascii.form.Timer4.interval());
    ascii.rows();
    EXPECT_EQ(ascii.table.cell(*ascii.table.row(0), column_frame), ":010300210001B8<CR><LF>");
    EXPECT_EQ(ascii.table.cell(*ascii.table.row(1), column_frame), "<00><1B>");
    EXPECT_EQ(ascii.table.cell(*ascii.table.row(1), column_meaning), "2 Bytes");
    EXPECT_EQ(ascii.table.cell(*ascii.table.row(1), column_verdict), "Bytes verworfen");
}

// ---- the reason of a failure: what came back to the request that timed out

struct ReasonCase {
    const char* name;
    const char* mode;  // of the tool
    const char* line;  // RTU bytes the line carries, hex; ":" first: ASCII characters; "echo": the request;
                       // empty: nothing
    Reason reason;
    const char* says;  // part of the status line
};

void PrintTo(const ReasonCase& c, std::ostream* os) {
    *os << c.name;
}

class LineReason : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(LineReason, TheTimeOutSaysWhatWasSeen) {
    const ReasonCase& c = GetParam();
    LineRig rig(c.mode, kGerman);
    const std::string line = c.line;
    if (line == "echo") {
        rig.reply(rig.port.take_written());
    } else if (!line.empty() && line[0] == ':') {
        const std::string text = line + "\r\n";
        rig.reply({text.begin(), text.end()});
    } else if (!line.empty()) {
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(modbus::hex_to_bytes(line, bytes));
        rig.reply(bytes);
    }
    rig.clock.advance_ms(10000);
    const Diagnosis d = rig.recorder.diagnosis();
    EXPECT_EQ(d.reason, c.reason);
    const std::string text = reason_text(d, kGerman);
    EXPECT_NE(text.find(c.says), std::string::npos) << text;
    EXPECT_EQ(rig.recorder.counters().time_outs, 1u);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Traffic, LineReason,
    ::testing::Values(
        ReasonCase{"Silence", "RTU", "", Reason::no_byte, "Kein Byte empfangen: Gerät aus"},
        // the unit answers in RTU, the tool listens for ASCII
        ReasonCase{"ModesDiffer", "ASCII", "01030200323991", Reason::bytes_no_frame,
                   "7 Bytes empfangen, aber kein gültiger Rahmen: Modus oder Baudrate?\n"
                   "Port schließen, Modus, Baudrate"},
        ReasonCase{"Noise", "RTU", "0103020032387A", Reason::check_sums, "1 Antwort mit falscher Prüfsumme"},
        // the same fault in either framing: the answer begins as awaited and ends early
        ReasonCase{"ShortAnswerRtu", "RTU", "01030200", Reason::short_answer,
                   "Antwort zu kurz (4 von 7 Bytes): Störungen, Wackelkontakt, Abschluss?"},
        ReasonCase{"ShortAnswerAscii", "ASCII", ":01030200FA", Reason::short_answer,
                   "Antwort zu kurz (5 von 6 Bytes): Störungen, Wackelkontakt, Abschluss?"},
        ReasonCase{"OtherAddress", "RTU", "02030200327D91", Reason::other_address,
                   "Antworten kamen von Adresse 2, nicht von 1: Adresse falsch?\nAdresse 2 eintragen"},
        ReasonCase{"EchoOnly", "RTU", "echo", Reason::echo_only, "Nur das Echo der Anfragen"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// ---- the ring and the table over it

TEST(LineRing, KeepsTheLastTenThousandRowsAndTheViewLearnsWhatWentAndCame) {
    Recorder recorder;
    Table table(recorder);
    const modbus::SentFrame frame{{}, {0x01}, "010300210001", 0, 0};
    for (int i = 0; i < 9'998; ++i) recorder.frame_sent(frame);
    table.accept_append();
    EXPECT_EQ(table.row_count(), 9'998u);
    for (int i = 0; i < 7; ++i) recorder.frame_sent(frame);
    EXPECT_EQ(recorder.size(), kRingRows);
    EXPECT_EQ(recorder.first_seq(), 5u);
    EXPECT_EQ(recorder.counters().requests, 10'005u);
    const Table::Change c = table.pending();
    EXPECT_EQ(c.dropped, 5u);
    EXPECT_EQ(c.appended, 7u);
    EXPECT_EQ(table.row(0), nullptr) << "a view that asks before it learns of the drop finds nothing";
    EXPECT_EQ(table.row(5)->seq, 5u);
    table.accept_drop();
    table.accept_append();
    EXPECT_EQ(table.row_count(), kRingRows);
    EXPECT_EQ(table.row(0)->seq, 5u);
    EXPECT_EQ(table.row(kRingRows - 1)->seq, 10'004u);
    EXPECT_EQ(table.row(kRingRows), nullptr);
}

TEST(LineTable, TimesFromTheProgramsClockPauseCountsOnlyClearStartsOver) {
    LineRig rig("RTU", kEnglish);
    rig.table.time_of_day_offset = std::chrono::hours(14);
    rig.clock.advance_ms(1234);
    rig.link.transmit(kRead33);
    rig.rows();
    // the opening's request, overtaken unanswered by the same one, has timed out
    ASSERT_EQ(rig.table.row_count(), 3u);
    EXPECT_EQ(rig.table.cell(*rig.table.row(0), column_time), "14:00:00.000");
    EXPECT_EQ(
        rig.table.line(*rig.table.row(2)),
        "14:00:01.234\tTX\t01 03 00 21 00 01 D4 00\tread configuration register 33 (minimum response time "
        "of the unit, ms)\t");
    EXPECT_EQ(rig.table.header_line(), "Time\tDirection\tFrame\tMeaning\tVerdict");

    rig.recorder.set_paused(true);
    rig.link.transmit(kRead33);
    rig.clock.advance_ms(10000);
    EXPECT_EQ(rig.table.pending().appended, 0u);
    EXPECT_EQ(rig.recorder.counters().requests, 3u);
    // each of the three went unanswered
    EXPECT_EQ(rig.recorder.counters().time_outs, 3u);
    rig.recorder.set_paused(false);
    rig.recorder.clear();
    EXPECT_TRUE(rig.table.pending().reset);
    EXPECT_EQ(rig.recorder.counters().requests, 0u);
    rig.table.accept_reset();
    EXPECT_EQ(rig.table.row_count(), 0u);
}

TEST(LineStatus, CountersLinkStateAgeAndConfirmations) {
    Counters c;
    c.requests = 12;
    c.valid_answers = 10;
    c.time_outs = 1;
    c.check_sum_errors = 1;
    EXPECT_EQ(counters_text(c, kEnglish),
              "requests 12 · valid answers 10 · time-outs 1 · check-sum errors 1 · exceptions 0");
    LinkFacts f{3, "/dev/ttyUSB0", "9600,E,8,1", "RTU", true, true, std::chrono::milliseconds(250)};
    EXPECT_EQ(link_state_text(f, kGerman), "COM3 → /dev/ttyUSB0, 9600,E,8,1 RTU: geöffnet");
    EXPECT_EQ(polling_text(f, kGerman), "Abfrage alle 250 ms");
    f.open = false;
    EXPECT_EQ(link_state_text(f, kEnglish), "COM3 → /dev/ttyUSB0: closed");
    // a bus scan has the port at its own settings, whatever the link panel says
    f.scanning = true;
    EXPECT_EQ(link_state_text(f, kGerman), "COM3 → /dev/ttyUSB0, 9600,E,8,1 RTU: Bussuche");
    f.scanning = false;
    // the network entry: the gateway's serial settings are its own, not the link panel's
    f.device = "tcp://10.0.4.21:502";
    f.open = true;
    EXPECT_EQ(link_state_text(f, kEnglish), "Network… → tcp://10.0.4.21:502: connected");
    f.open = false;
    EXPECT_EQ(link_state_text(f, kGerman), "Netzwerk… → tcp://10.0.4.21:502: geschlossen");
    EXPECT_EQ(polling_text(f, kEnglish), "");
    using std::chrono::milliseconds;
    EXPECT_EQ(answer_age_text(milliseconds(1000), milliseconds(4500), kGerman),
              "letzte gültige Antwort vor 3 s");
    EXPECT_EQ(answer_age_text(std::nullopt, milliseconds(0), kEnglish), "no valid answer yet");
    EXPECT_EQ(completion_text(Written{6, 32, 1, 0}, "14:03:22", kGerman),
              "6 Registerblöcke, 32 Konfigurationsbits, 1 Eingaberegister geschrieben und zurückgelesen "
              "(14:03:22)");
    EXPECT_EQ(completion_text(Written{}, "14:03:22", kEnglish), "Read-out completed at 14:03:22");
}

}  // namespace
}  // namespace plx::traffic
