// The calculator's costs beside floors measured in the same run: what the C library or plain
// Qt widgets need for the same work. Prints Google Benchmark's own lines, then one table of
// figure, floor and ratio. tools/bench builds this, measures the running program's peak
// memory and counts the instructions of opening a window under callgrind, and passes them in
// with --peak-rss and --openings so that the table is complete.
// Google Benchmark registers each benchmark through a global object, and the benchmarks share
// their window through one: clazy:excludeall=non-pod-global-static
#include "runtime/Controls.h"
#include "runtime/Format.h"
#include "ui/Window1.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRepetitions = 21;
constexpr int kFullDrag = 2600;
constexpr int kSoakReports = 100000;

void Paired(benchmark::internal::Benchmark* benchmark) {
    benchmark->Repetitions(kRepetitions)->ReportAggregatesOnly(true)->MinTime(0.1);
}

// Read-outs as the window computes them, spread over the inputs' ranges; a power of two long.
const std::vector<double>& SampleValues() {
    static const std::vector<double> values = [] {
        std::vector<double> v;
        for (int i = 0; i < 4096; ++i) {
            const double aperture = 50 + (i * 37) % 351;
            const double focalLength = 400 + (i * 613) % 2601;
            v.push_back(focalLength / aperture);
        }
        return v;
    }();
    return values;
}

void BM_Format(benchmark::State& state) {
    const auto& values = SampleValues();
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = runtime::Format(values[i++ & 4095], "###.0");
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_FormatFloor(benchmark::State& state) {
    const auto& values = SampleValues();
    std::size_t i = 0;
    char buffer[32];
    for (auto _ : state) {
        int length = std::snprintf(buffer, sizeof buffer, "%.1f", values[i++ & 4095]);
        benchmark::DoNotOptimize(length);
        benchmark::DoNotOptimize(buffer);
    }
}

// Lets the event loop deliver what is pending: show and expose events, merged repaints and
// deferred deletes, as it would between two user inputs.
void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The window's controls as built, recorded from a real Window1 so that the floor builds the
// same widgets, with the same parents, places, texts and ranges, but with none of its logic.
struct Blueprint {
    enum class Kind { Frame, Slider, Label, Arrows, Button, Tabs };
    struct Control {
        Kind kind;
        int parent = -1; // index of the parent control, or -1 for the content area
        int page = -1;   // the page of a tab-panel parent
        QRect rect;
        QString text;
        Qt::Alignment alignment;
        int minimum = 0, maximum = 0, value = 0;
        QStringList captions;
    };
    std::vector<Control> controls;
    QSize contentSize;
    QString title;
    // The menu bar, for the floor that has one: each menu's title, its items and shortcuts.
    struct Menu {
        QString title;
        QList<std::pair<QString, QKeySequence>> items;
    };
    std::vector<Menu> menus;

    explicit Blueprint(const ui::Window1& window) {
        contentSize = window.Content()->size();
        title = window.windowTitle();
        for (const auto all = window.menuBar()->actions(); const QAction* action : all) {
            Menu menu{action->text(), {}};
            for (const auto items = action->menu()->actions(); const QAction* item : items)
                menu.items.emplace_back(item->text(), item->shortcut());
            menus.push_back(menu);
        }
        std::vector<const QWidget*> seen;
        const auto indexOf = [&seen](const QWidget* widget) {
            for (std::size_t i = 0; i < seen.size(); ++i)
                if (seen[i] == widget)
                    return static_cast<int>(i);
            return -1;
        };
        for (const auto all = window.Content()->findChildren<QWidget*>();
             const QWidget* widget : all) {
            if (widget->objectName().isEmpty() || !IsControl(window, widget))
                continue;
            Control c;
            c.rect = widget->geometry();
            // The nearest control above, and through which page of a tab panel.
            for (const QWidget* above = widget->parentWidget(); above != window.Content();
                 above = above->parentWidget()) {
                if (const int index = indexOf(above); index >= 0) {
                    c.parent = index;
                    if (const auto* tabs = qobject_cast<const QTabWidget*>(above))
                        c.page = FindPage(*tabs, widget);
                    break;
                }
            }
            if (const auto* slider = qobject_cast<const QSlider*>(widget)) {
                c.kind = Kind::Slider;
                c.minimum = slider->minimum();
                c.maximum = slider->maximum();
                c.value = slider->value();
            } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
                c.kind = Kind::Label;
                c.text = label->text();
                c.alignment = label->alignment();
            } else if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
                c.kind = Kind::Button;
                c.text = button->text();
            } else if (const auto* tabs = qobject_cast<const QTabWidget*>(widget)) {
                c.kind = Kind::Tabs;
                for (int i = 0; i < tabs->count(); ++i)
                    c.captions << tabs->tabText(i);
            } else if (qobject_cast<const runtime::UpDownArrows*>(widget)) {
                c.kind = Kind::Arrows;
            } else {
                c.kind = Kind::Frame;
            }
            controls.push_back(c);
            seen.push_back(widget);
        }
    }

    static bool IsControl(const ui::Window1& window, const QWidget* widget) {
        try {
            return &window.Control<QWidget>(widget->objectName().toStdString()) == widget;
        } catch (const runtime::NilObjectException&) {
            return false;
        }
    }

    static int FindPage(const QTabWidget& tabs, const QWidget* widget) {
        for (int i = 0; i < tabs.count(); ++i)
            if (tabs.widget(i)->isAncestorOf(widget))
                return i;
        return -1;
    }

    // Builds and shows the plain window.
    std::unique_ptr<QMainWindow> Build(bool withMenuBar = false) const {
        auto window = std::make_unique<QMainWindow>();
        window->setWindowTitle(title);
        auto* content = new QWidget(window.get());
        window->setCentralWidget(content);
        content->setFixedSize(contentSize);
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
        std::vector<QWidget*> built;
        for (const Control& c : controls) {
            QWidget* parent = c.parent < 0 ? content : built[static_cast<std::size_t>(c.parent)];
            if (c.page >= 0)
                parent = static_cast<QTabWidget*>(parent)->widget(c.page);
            QWidget* widget = nullptr;
            switch (c.kind) {
            case Kind::Frame: {
                auto* frame = new QFrame(parent);
                frame->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
                widget = frame;
                break;
            }
            case Kind::Slider: {
                auto* slider = new QSlider(Qt::Horizontal, parent);
                slider->setRange(c.minimum, c.maximum);
                slider->setValue(c.value);
                widget = slider;
                break;
            }
            case Kind::Label: {
                auto* label = new QLabel(c.text, parent);
                label->setAlignment(c.alignment);
                widget = label;
                break;
            }
            case Kind::Arrows: {
                widget = new QWidget(parent);
                const int upHeight = (c.rect.height() + 1) / 2;
                auto* up = new QToolButton(widget);
                up->setArrowType(Qt::UpArrow);
                up->setGeometry(0, 0, c.rect.width(), upHeight);
                auto* down = new QToolButton(widget);
                down->setArrowType(Qt::DownArrow);
                down->setGeometry(0, upHeight, c.rect.width(), c.rect.height() - upHeight);
                break;
            }
            case Kind::Button:
                widget = new QPushButton(c.text, parent);
                break;
            case Kind::Tabs: {
                auto* tabs = new QTabWidget(parent);
                for (const QString& caption : c.captions)
                    tabs->addTab(new QWidget, caption);
                widget = tabs;
                break;
            }
            }
            widget->setGeometry(c.rect);
            built.push_back(widget);
        }
        if (withMenuBar)
            for (const Menu& menu : menus) {
                QMenu* qtMenu = window->menuBar()->addMenu(menu.title);
                for (const auto& [text, shortcut] : menu.items)
                    qtMenu->addAction(text)->setShortcut(shortcut);
            }
        window->show();
        return window;
    }
};

// The one window the per-step benchmarks share; main() closes it before Qt goes.
std::unique_ptr<ui::Window1> g_window;

// The shared window, opened with the start-up values.
ui::Window1& SharedWindow() {
    if (!g_window)
        g_window = std::make_unique<ui::Window1>();
    g_window->DoOpenEvent();
    Settle();
    return *g_window;
}

void BM_OpenWindow(benchmark::State& state) {
    for (auto _ : state) {
        auto window = std::make_unique<ui::Window1>();
        Settle();
        state.PauseTiming();
        window.reset();
        Settle();
        state.ResumeTiming();
    }
    state.counters["controls"] = static_cast<double>(Blueprint(SharedWindow()).controls.size());
}

void BM_OpenWindowFloor(benchmark::State& state) {
    const Blueprint blueprint(SharedWindow());
    for (auto _ : state) {
        auto window = blueprint.Build(state.range(0) == 1);
        Settle();
        state.PauseTiming();
        window.reset();
        Settle();
        state.ResumeTiming();
    }
    state.counters["controls"] = static_cast<double>(blueprint.controls.size());
}

// Instruction counts of opening, for callgrind: each function builds, opens and settles one
// window of its kind. Unlike wall time, the counts do not move with the machine's load.
// tools/bench reads each function's inclusive count and passes the totals back in.
std::vector<std::unique_ptr<QMainWindow>> g_counted;

[[gnu::noinline]] void CountedWindow1(const Blueprint&) {
    g_counted.push_back(std::make_unique<ui::Window1>());
    Settle();
}
[[gnu::noinline]] void CountedFloor(const Blueprint& blueprint) {
    g_counted.push_back(blueprint.Build(false));
    Settle();
}
[[gnu::noinline]] void CountedFloorWithMenuBar(const Blueprint& blueprint) {
    g_counted.push_back(blueprint.Build(true));
    Settle();
}

// Opens each kind of window `times` times, after the shared window has paid what a process
// pays once (fonts, glyphs, style).
void CountOpenings(int times) {
    const Blueprint blueprint(SharedWindow());
    for (int i = 0; i < times; ++i)
        for (const auto open : {&CountedWindow1, &CountedFloor, &CountedFloorWithMenuBar}) {
            open(blueprint);
            g_counted.clear();
            Settle();
        }
}

// The labels a focal-length step writes.
constexpr const char* kStepLabels[] = {"FocalLengthText", "FNumberText", "MagnificationText",
                                       "TFOVText",        "ExitText",    "MagnificationText1",
                                       "TFOVText1",       "ExitText1"};

void BM_FocalLengthStep(benchmark::State& state) {
    ui::Window1& window = SharedWindow();
    auto& slider = window.Control<runtime::Slider>("FLSlider");
    int step = 0;
    for (auto _ : state) {
        slider.SetValue(1600 + (++step & 1));
        window.UpdateFocalLengthValue();
        Settle();
    }
}

void BM_FocalLengthStepFloor(benchmark::State& state) {
    ui::Window1& window = SharedWindow();
    auto& slider = window.Control<runtime::Slider>("FLSlider");
    // The texts of both focal lengths, taken from the window, set straight into its labels;
    // Qt merges the labels' repaints into one, flushed as in the step.
    std::vector<QLabel*> labels;
    for (const char* name : kStepLabels)
        labels.push_back(&window.Control<runtime::StaticText>(name));
    std::vector<QString> texts[2];
    for (int side = 0; side < 2; ++side) {
        slider.SetValue(1600 + side);
        window.UpdateFocalLengthValue();
        for (QLabel* label : labels)
            texts[side].push_back(label->text());
    }
    Settle();
    int step = 0;
    for (auto _ : state) {
        const auto& now = texts[++step & 1];
        for (std::size_t i = 0; i < labels.size(); ++i)
            labels[i]->setText(now[i]);
        Settle();
    }
}

// Moves a slider's handle as a user's drag does: held down, one position at a time with
// tracking on, turning at the ends, the event loop turning once between two positions.
void Sweep(runtime::Slider& slider, int reports) {
    slider.setSliderDown(true);
    int direction = slider.value() < slider.maximum() ? 1 : -1;
    for (int i = 0; i < reports; ++i) {
        const int next = slider.value() + direction;
        slider.setSliderPosition(next);
        Settle();
        if (next == slider.minimum() || next == slider.maximum())
            direction = -direction;
    }
    slider.setSliderDown(false);
}

void BM_FullDrag(benchmark::State& state) {
    ui::Window1& window = SharedWindow();
    auto& slider = window.Control<runtime::Slider>("FLSlider");
    int reports = 0;
    const auto count = QObject::connect(&slider, &runtime::Slider::ValueChanged, &slider,
                                        [&reports] { ++reports; });
    for (auto _ : state) {
        state.PauseTiming();
        window.DoOpenEvent();
        Settle();
        reports = 0;
        state.ResumeTiming();
        // From the start-up 1600 down to 0, then all the way up: 2601 reports.
        slider.setSliderDown(true);
        slider.setSliderPosition(0);
        Settle();
        Sweep(slider, kFullDrag);
    }
    QObject::disconnect(count);
    state.counters["reports"] = reports;
}

long ResidentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_Soak(benchmark::State& state) {
    ui::Window1& window = SharedWindow();
    auto& slider = window.Control<runtime::Slider>("FLSlider");
    // A first full sweep fills the caches that belong to any run (glyphs, style pixmaps).
    Sweep(slider, 2 * kFullDrag);
    const long before = ResidentKilobytes();
    for (auto _ : state)
        Sweep(slider, kSoakReports);
    const long after = ResidentKilobytes();
    state.counters["rss_before_kB"] = static_cast<double>(before);
    state.counters["rss_after_kB"] = static_cast<double>(after);
}

// Keeps the median of each benchmark's repetitions (or its one run), in seconds, and its
// counters.
class TableReporter : public benchmark::ConsoleReporter {
public:
    struct Figure {
        double seconds = 0;
        std::map<std::string, double> counters;
        double counter(const std::string& name) const {
            const auto it = counters.find(name);
            return it == counters.end() ? 0 : it->second;
        }
    };
    std::map<std::string, Figure> medians;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!single && !median)
                continue;
            const auto& id = run.run_name;
            Figure& figure = medians[id.function_name + (id.args.empty() ? "" : "/" + id.args)];
            figure.seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            for (const auto& [name, counter] : run.counters)
                figure.counters[name] = counter.value;
        }
    }
};

std::string Duration(double seconds) {
    char text[32];
    if (seconds >= 1)
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    else if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else if (seconds >= 1e-6)
        std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    else
        std::snprintf(text, sizeof text, "%.1f ns", seconds * 1e9);
    return text;
}

std::string Megabytes(double kilobytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", kilobytes / 1024);
    return text;
}

std::string Ratio(double figure, double floor) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2fx", figure / floor);
    return text;
}

void Row(const std::string& measure, const std::string& figure, const std::string& floor,
         const std::string& ratio, const std::string& target, const char* verdict) {
    std::printf("| %-38s | %-11s | %-32s | %-6s | %-18s | %-4s |\n", measure.c_str(),
                figure.c_str(), floor.c_str(), ratio.c_str(), target.c_str(), verdict);
}

// Peak resident memories in kB, as tools/bench measured them; zero when not measured.
struct Peaks {
    long program = 0, floor = 0, bare = 0;
};

// Instructions to build and open one window of each kind, as tools/bench counted them under
// callgrind; zero when not counted.
struct Openings {
    double window = 0, floor = 0, floorWithMenuBar = 0;
};

std::string Instructions(double count) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f M", count / 1e6);
    return text;
}

void PrintTable(const TableReporter& reporter, const Peaks& peak, const Openings& opening) {
    const auto find = [&reporter](const char* name) -> const TableReporter::Figure* {
        const auto it = reporter.medians.find(name);
        return it == reporter.medians.end() ? nullptr : &it->second;
    };
    const auto verdict = [](bool met) { return met ? "met" : "MISS"; };
    std::printf("\nMedians of the repetitions (the soak runs once), wall-clock time, offscreen;\n"
                "instructions are callgrind's count for one opening, the mean of ten.\n\n");
    Row("Measure", "Miravane", "Floor, same run", "Ratio", "Target", "");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(40, '-').c_str(), std::string(13, '-').c_str(),
                std::string(34, '-').c_str(), std::string(8, '-').c_str(),
                std::string(20, '-').c_str(), std::string(6, '-').c_str());

    if (const auto* format = find("BM_Format"), *floor = find("BM_FormatFloor"); format && floor)
        Row("Format(x, \"###.0\"), per call", Duration(format->seconds),
            "snprintf(\"%.1f\") " + Duration(floor->seconds),
            Ratio(format->seconds, floor->seconds), "-", "");

    const auto* open = find("BM_OpenWindow");
    if (const auto* floor = find("BM_OpenWindowFloor/0"); open && floor)
        Row("Build and open Window1, " +
                std::to_string(static_cast<int>(open->counter("controls"))) + " controls",
            Duration(open->seconds),
            std::to_string(static_cast<int>(floor->counter("controls"))) + " plain widgets " +
                Duration(floor->seconds),
            Ratio(open->seconds, floor->seconds), "<= 1.5x",
            verdict(open->seconds <= 1.5 * floor->seconds));
    if (const auto* floor = find("BM_OpenWindowFloor/1"); open && floor)
        Row("  the same, for scale", Duration(open->seconds),
            "widgets + menu bar " + Duration(floor->seconds), Ratio(open->seconds, floor->seconds),
            "-", "");

    if (opening.window > 0 && opening.floor > 0)
        Row("  the same, instructions", Instructions(opening.window),
            "plain widgets " + Instructions(opening.floor), Ratio(opening.window, opening.floor),
            "<= 1.5x", verdict(opening.window <= 1.5 * opening.floor));
    if (opening.window > 0 && opening.floorWithMenuBar > 0)
        Row("  the same, instructions, for scale", Instructions(opening.window),
            "widgets + menu bar " + Instructions(opening.floorWithMenuBar),
            Ratio(opening.window, opening.floorWithMenuBar), "-", "");

    if (const auto* step = find("BM_FocalLengthStep"), *floor = find("BM_FocalLengthStepFloor");
        step && floor)
        Row("One focal-length step, repaint flushed", Duration(step->seconds),
            "8 texts, 1 repaint " + Duration(floor->seconds), Ratio(step->seconds, floor->seconds),
            "<= 1.5x, < 1 ms",
            verdict(step->seconds <= 1.5 * floor->seconds && step->seconds < 1e-3));

    if (const auto* drag = find("BM_FullDrag"))
        Row("FLSlider drag 0-2600, " + std::to_string(static_cast<int>(drag->counter("reports"))) +
                " reports",
            Duration(drag->seconds), "-", "-", "< 2 s", verdict(drag->seconds < 2));

    if (const auto* soak = find("BM_Soak")) {
        const double before = soak->counter("rss_before_kB");
        const double after = soak->counter("rss_after_kB");
        // Growth within a megabyte is malloc's and the glyph caches' noise.
        Row("Soak, " + std::to_string(kSoakReports) + " reports: resident after", Megabytes(after),
            "before " + Megabytes(before) + ", " + std::to_string(long(after - before)) + " kB",
            Ratio(after, before), "no growth", verdict(after - before < 1024));
    }

    const auto program = static_cast<double>(peak.program);
    if (peak.program > 0 && peak.floor > 0)
        Row("Peak resident memory, 1 s headless", Megabytes(program),
            "window, menu bar, label " + Megabytes(double(peak.floor)),
            Ratio(program, double(peak.floor)), "<= 1.10x",
            verdict(program <= 1.10 * double(peak.floor)));
    // For scale: a window with nothing in it, not even text.
    if (peak.program > 0 && peak.bare > 0)
        Row("  the same, for scale", Megabytes(program),
            "bare Qt window " + Megabytes(double(peak.bare)), Ratio(program, double(peak.bare)),
            "-", "");
}

} // namespace

// Each figure and its floor run as many short repetitions, which main() has Google Benchmark
// interleave at random: a machine busy with something else for a while then slows both alike
// instead of skewing their ratio.
BENCHMARK(BM_Format)->Apply(Paired)->MinTime(0.05);
BENCHMARK(BM_FormatFloor)->Apply(Paired)->MinTime(0.05);
BENCHMARK(BM_OpenWindow)->Apply(Paired)->UseRealTime()->Unit(benchmark::kMillisecond);
// Argument 1 adds the same menu bar, which shows what Window1 costs beyond what Qt needs.
BENCHMARK(BM_OpenWindowFloor)
    ->Arg(0)
    ->Arg(1)
    ->Apply(Paired)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FocalLengthStep)->Apply(Paired)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FocalLengthStepFloor)->Apply(Paired)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullDrag)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Soak)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    // --peak-rss=PROGRAM,FLOOR,BARE: the peak memories in kB tools/bench measured: the
    // program's, a window's with a menu bar and one label, and a bare window's.
    // --openings=WINDOW,FLOOR,FLOOR_WITH_MENU_BAR: the instructions tools/bench counted to open
    // one window of each kind. --count-openings=N: open each kind N times and stop, for that.
    Peaks peaks;
    Openings openings;
    int countOpenings = 0;
    std::vector<char*> rest;
    bool interleaving = false;
    for (int i = 0; i < argc; ++i) {
        interleaving |= std::strstr(argv[i], "random_interleaving") != nullptr;
        if (std::strncmp(argv[i], "--peak-rss=", 11) == 0)
            std::sscanf(argv[i] + 11, "%ld,%ld,%ld", &peaks.program, &peaks.floor, &peaks.bare);
        else if (std::strncmp(argv[i], "--openings=", 11) == 0)
            std::sscanf(argv[i] + 11, "%lf,%lf,%lf", &openings.window, &openings.floor,
                        &openings.floorWithMenuBar);
        else if (std::strncmp(argv[i], "--count-openings=", 17) == 0)
            countOpenings = std::atoi(argv[i] + 17);
        else
            rest.push_back(argv[i]);
    }
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (!interleaving)
        rest.push_back(interleave);
    int restCount = static_cast<int>(rest.size());
    rest.push_back(nullptr);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(restCount, rest.data());
    if (countOpenings > 0) {
        CountOpenings(countOpenings);
        g_window.reset();
        return 0;
    }
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter, peaks, openings);
    g_window.reset();
    benchmark::Shutdown();
    return 0;
}
