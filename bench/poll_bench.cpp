// Polls the simulated unit for a fixed number of transactions and prints the CPU time per transaction
// of the window's program (without a watcher of the line; with the traffic recorder; with the
// recorder and every row put into words as an open traffic window does), of plx24ctl monitor and of
// mbpoll (the baseline) against the same unit, side by side in one run, each as a ratio to mbpoll.
// The two programs of their own are measured by their whole run less a run of one poll: their
// start-up is printed apart, the window's program is measured while it polls. All poll at one pace.
//   plx24_bench_poll [--transactions N] [--rounds R]     (cmake --build build --target bench_poll)

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/time.h>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include "program/program.h"
#include "gui/qt_timer_engine.h"
#include "link/port_directory.h"
#include "link/qt_serial_port.h"
#include "settings/store.h"
#include "traffic/table.h"

namespace {

using namespace std::chrono;

// the simulated unit's response time (plx24-sim's default)
constexpr milliseconds kResponse{20};

struct Quiet : plx::controls::MessageBox {
    void show_ok(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
};
struct NoFiles : plx::controls::FileDialog {
    std::optional<std::string> open_file(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> save_file(const std::string&, const std::string&) override { return {}; }
};
struct NoShell : plx::controls::Shell {
    bool open(const std::string&) override { return false; }
};

// Every new row put into words, as the traffic window does while it is open.
struct Wording : plx::traffic::RowListener {
    explicit Wording(const plx::traffic::Recorder& r) : table(r) {}
    void rows_changed() override {
        table.accept_drop();
        const std::size_t first = table.row_count();
        table.accept_append();
        for (std::size_t i = first; i < table.row_count(); ++i) {
            if (const plx::traffic::Row* row = table.row(i)) words += table.line(*row).size();
        }
    }
    plx::traffic::Table table;
    std::size_t words = 0;
};

double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double children_cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    const auto s = [](const timeval& v) {
        return static_cast<double>(v.tv_sec) + static_cast<double>(v.tv_usec) * 1e-6;
    };
    return s(u.ru_utime) + s(u.ru_stime);
}

// Runs the event loop until done() or the deadline.
bool run_until(const std::function<bool()>& done, milliseconds limit) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limit.count()) return false;
        // sleeps until the next event: the bench itself adds no wake-ups
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct Figure {
    std::string name;
    double cpu_per_transaction = 0;   // seconds
    double wall_per_transaction = 0;  // seconds
    long transactions = 0;
    double startup = 0;  // seconds of CPU of a run of one poll, for a program of its own
};

enum class Watch {
    none,
    recorder,
    worded,
};

std::optional<Figure> run_tool(const std::string& pty, Watch watch, long n, milliseconds poll) {
    plx::gui::QtTimerEngine timers;
    plx::link::QtSerialPort port;
    Quiet messages;
    NoFiles files;
    NoShell shell;
    plx::Program program(plx::Platform{port, timers, messages, files, shell});
    program.settings = std::make_unique<plx::settings::MemoryStore>();
    program.ports.set_run_device(plx::link::kStartupEntry, pty);
    program.start();
    program.form.Combo_Port[5].user_select(1);  // RTU
    program.form.Combo_Port[6].user_select(1);  // open: the response time, then a read-out
    const bool read = run_until(
        [&] { return program.traffic->counters().valid_answers >= 10 && !program.frm_state->loaded(); },
        seconds(30));
    if (!read) {
        std::fprintf(stderr, "no read-out: %llu requests, %llu valid answers, port %s\n",
                     static_cast<unsigned long long>(program.traffic->counters().requests),
                     static_cast<unsigned long long>(program.traffic->counters().valid_answers),
                     port.port_open() ? "open" : "closed");
        return std::nullopt;
    }

    Wording wording(*program.traffic);
    if (watch == Watch::none) program.engine->observe(nullptr);
    if (watch == Watch::worded) program.traffic->add_listener(&wording);
    long answers = 0;
    auto dispatch = program.link->on_response;
    program.link->on_response = [&] {
        ++answers;
        dispatch();
    };
    program.form.chk_read_out.user_toggle();
    program.form.Timer7.set_interval(poll);
    const double cpu0 = cpu_seconds();
    QElapsedTimer wall;
    wall.start();
    const bool done = run_until([&] { return answers >= n; }, milliseconds(n * 2000));
    const double cpu = cpu_seconds() - cpu0;
    const double elapsed = static_cast<double>(wall.elapsed()) * 1e-3;
    program.form.chk_read_out.user_toggle();
    program.form.Combo_Port[6].user_select(0);
    program.traffic->remove_listener(&wording);
    if (!done) {
        std::fprintf(stderr, "polling stopped after %ld answers (port %d, polling box %d, window %s)\n",
                     answers, port.port_open(), program.form.chk_read_out.value(),
                     program.form.frm_config.enabled() ? "enabled" : "disabled");
        return std::nullopt;
    }
    const char* names[] = {"program, no watcher", "program, traffic recorder",
                           "program, recorder + rows in words"};
    return Figure{names[static_cast<int>(watch)], cpu / static_cast<double>(answers),
                  elapsed / static_cast<double>(answers), answers};
}

// The CPU a child spends on one run; its output in `out`. Nothing when it did not end in time.
std::optional<double> child_cpu(const QString& program, const QStringList& args, QByteArray& out,
                                std::optional<milliseconds> interrupt_after, milliseconds limit) {
    const double cpu0 = children_cpu_seconds();
    // the output goes to a file, read when the run is over: a pipe would wake this bench at every
    // line and charge the child for waking it
    QTemporaryFile file;
    if (!file.open()) return std::nullopt;
    QProcess p;
    p.setStandardOutputFile(file.fileName());
    p.start(program, args);
    if (!p.waitForStarted()) return std::nullopt;
    if (interrupt_after) {
        QThread::msleep(static_cast<unsigned long>(interrupt_after->count()));
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    }
    if (!p.waitForFinished(static_cast<int>(limit.count()))) {
        p.kill();
        p.waitForFinished();
        return std::nullopt;
    }
    const double cpu = children_cpu_seconds() - cpu0;
    out = file.readAll();
    return cpu;
}

// A program of its own, such as mbpoll: its CPU per transaction beyond a run of one poll (its
// start-up, shown apart), so that loading a toolkit is not counted as polling.
Figure marginal(std::string name, double run_cpu, double startup_cpu, long transactions, double elapsed) {
    const auto polls = static_cast<double>(transactions);
    return Figure{std::move(name), (run_cpu - startup_cpu) / (polls - 1), elapsed / polls, transactions,
                  startup_cpu};
}

std::optional<Figure> run_ctl(const std::string& pty, long n, milliseconds poll) {
    const auto args = [&](long count) {
        return QStringList{QStringLiteral("monitor"), QStringLiteral("--device"), QString::fromStdString(pty),
                           QStringLiteral("--address"), QStringLiteral("1"), QStringLiteral("--baud"),
                           QStringLiteral("115200"), QStringLiteral("--parity"), QStringLiteral("E"),
                           QStringLiteral("--mode"), QStringLiteral("rtu"), QStringLiteral("--interval"),
                           QString::number(poll.count()), QStringLiteral("--count"), QString::number(count),
                           QStringLiteral("--no-progress")};
    };
    // one line per poll: the values of an answered one begin with the room temperature
    QByteArray out;
    const auto startup = child_cpu(QStringLiteral(PLX24_CTL_EXE), args(1), out, {}, seconds(30));
    if (!startup || out.count("  T=") != 1) return std::nullopt;
    QElapsedTimer wall;
    wall.start();
    const auto cpu = child_cpu(QStringLiteral(PLX24_CTL_EXE), args(n), out, {}, milliseconds(n * 2000));
    const double elapsed = static_cast<double>(wall.elapsed()) * 1e-3;
    const long answered = out.count("  T=");
    if (!cpu || answered < 2) return std::nullopt;
    return marginal("plx24ctl monitor", *cpu, *startup, answered, elapsed);
}

std::optional<Figure> run_mbpoll(const QString& mbpoll, const std::string& pty, long n, milliseconds poll) {
    const QStringList line{QStringLiteral("-m"),  QStringLiteral("rtu"),  QStringLiteral("-a"),
                           QStringLiteral("1"),   QStringLiteral("-b"),   QStringLiteral("115200"),
                           QStringLiteral("-P"),  QStringLiteral("even"), QStringLiteral("-0"),
                           QStringLiteral("-t"),  QStringLiteral("4"),    QStringLiteral("-r"),
                           QStringLiteral("256"), QStringLiteral("-c"),   QStringLiteral("17"),
                           QStringLiteral("-o"),  QStringLiteral("1")};
    QByteArray out;
    const auto startup = child_cpu(mbpoll, line + QStringList{QStringLiteral("-1"), QString::fromStdString(pty)},
                                   out, {}, seconds(30));
    if (!startup) return std::nullopt;
    QElapsedTimer wall;
    wall.start();
    // its output is buffered: it counts its polls when it ends
    // mbpoll waits its delay after each answer: the period is the answer's time and the delay
    const auto period = poll;
    const auto cpu = child_cpu(mbpoll,
                               line + QStringList{QStringLiteral("-l"), QString::number((poll - kResponse).count()),
                                                  QString::fromStdString(pty)},
                               out, milliseconds(n * period.count()), seconds(10));
    const double elapsed = static_cast<double>(wall.elapsed()) * 1e-3;
    const auto m = QRegularExpression(QStringLiteral("(\\d+) frames transmitted, (\\d+) received"))
                       .match(QString::fromLocal8Bit(out));
    const long received = m.hasMatch() ? m.captured(2).toLong() : 0;
    if (!cpu || received < 2) return std::nullopt;
    return marginal("mbpoll (libmodbus)", *cpu, *startup, received, elapsed);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    long n = 60;
    const QStringList args = QCoreApplication::arguments();
    const auto at = args.indexOf(QStringLiteral("--transactions"));
    if (at > 0 && at + 1 < args.size()) n = std::max(10L, args[at + 1].toLong());
    int rounds_wanted = 5;
    const auto r_at = args.indexOf(QStringLiteral("--rounds"));
    if (r_at > 0 && r_at + 1 < args.size()) rounds_wanted = std::max(1, args[r_at + 1].toInt());
    // Every one polls at the pace the simulated unit asks for, its response time (20 ms) + 200 ms,
    // which plx24ctl keeps of its own accord: a process's CPU per poll grows with the time it sleeps
    // in between (its caches go cold), so the baseline sleeps as long. The window's poll tick sends
    // whether or not the last answer came: this period leaves room for the answer and the reception
    // poll (50 ms in RTU).
    const milliseconds poll = kResponse + milliseconds(200);

    QProcess sim;
    sim.start(QStringLiteral(PLX24_SIM_EXE),
              {QStringLiteral("--pty"), QStringLiteral("--mode"), QStringLiteral("rtu"),
               QStringLiteral("--baud"), QStringLiteral("115200")});
    if (!sim.waitForStarted() || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "plx24-sim did not start: %s\n", PLX24_SIM_EXE);
        return 1;
    }
    const std::string pty = QString::fromLocal8Bit(sim.readLine()).trimmed().toStdString();
    std::printf(
        "Polling the 17 output registers of plx24-sim on %s (RTU, 115200 Bd, response time 20 ms),\n"
        "%d rounds of %ld transactions each, one every %lld ms; the median round of each:\n\n",
        pty.c_str(), rounds_wanted, n, static_cast<long long>(poll.count()));

    // Rounds of each one in turn: on a machine shared with other work one run's figure can be off by
    // half, and a spell of load then falls on every contender alike. Each figure is the median of
    // its rounds.
    const QString mbpoll = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
    if (mbpoll.isEmpty())
        std::printf("(mbpoll is not installed: Debian package mbpoll; ratios to the tool without a watcher)\n");
    std::vector<std::vector<Figure>> rounds(5);
    for (int r = 0; r < rounds_wanted; ++r) {
        for (Watch w : {Watch::none, Watch::recorder, Watch::worded}) {
            const auto f = run_tool(pty, w, n, poll);
            if (!f) {
                std::fprintf(stderr, "the tool's run %d did not finish\n", static_cast<int>(w));
                return 1;
            }
            rounds[static_cast<std::size_t>(w)].push_back(*f);
        }
        const auto ctl = run_ctl(pty, n, poll);
        if (!ctl) {
            std::fprintf(stderr, "plx24ctl monitor did not poll the unit: %s\n", PLX24_CTL_EXE);
            return 1;
        }
        rounds[3].push_back(*ctl);
        if (!mbpoll.isEmpty()) {
            if (const auto base = run_mbpoll(mbpoll, pty, n, poll)) rounds[4].push_back(*base);
        }
        std::fprintf(stderr, "round %d of %d done\n", r + 1, rounds_wanted);
    }
    std::vector<Figure> figures;
    for (std::vector<Figure>& of_one : rounds) {
        if (of_one.empty()) continue;
        std::sort(of_one.begin(), of_one.end(), [](const Figure& a, const Figure& b) {
            return a.cpu_per_transaction < b.cpu_per_transaction;
        });
        figures.push_back(of_one[of_one.size() / 2]);
    }
    std::optional<Figure> baseline;
    if (rounds[4].size() == static_cast<std::size_t>(rounds_wanted)) {
        baseline = figures.back();
    } else if (!mbpoll.isEmpty()) {
        std::printf("(mbpoll did not poll the unit in every round; ratios to the tool without a watcher)\n");
    }
    sim.terminate();
    sim.waitForFinished(3000);

    const double base = baseline ? baseline->cpu_per_transaction : figures.front().cpu_per_transaction;
    std::printf("%-34s %14s %10s %16s %12s %14s\n", "", "CPU/transaction", baseline ? "/ mbpoll" : "ratio",
                "wall/transaction", "transactions", "start-up CPU");
    for (const Figure& f : figures) {
        std::printf("%-34s %11.1f us %10.2f %13.1f ms %12ld", f.name.c_str(), f.cpu_per_transaction * 1e6,
                    f.cpu_per_transaction / base, f.wall_per_transaction * 1e3, f.transactions);
        if (f.startup > 0) std::printf(" %11.1f ms", f.startup * 1e3);
        std::printf("\n");
    }
    return 0;
}
