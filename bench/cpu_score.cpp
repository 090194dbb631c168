// The CPU benchmark's score on this machine: runs the benchmark five times through the
// main window's own button, on the offscreen platform, for each number type, and prints
// the median and the spread. Figures only.
#include "forms/form.h"
#include "program/program.h"
#include "frmMain.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fk::prepareRuntime({.name = QStringLiteral("Corvane_ALPHA3"), .loadFirstForm = {}});

    auto& main = fk::formInstance<corvane::frmMain>();
    QWidget* site = main.btnCPUbeginbenchmark.widget();
    QWidget* face = site->childAt(site->rect().center());
    const std::pair<const char*, fk::OptionButton*> types[] = {
        {"Integer", &main.opnCPUbenchint},
        {"Long Integer", &main.opnCPUbenchlongint},
        {"Single Precision", &main.opnCPUbenchshort},
        {"Double Precision", &main.opnCPUbenchdouble},
    };
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    for (const auto& [name, option] : types) {
        option->setValue(true);
        std::vector<double> scores;
        for (int i = 0; i < runs; ++i) {
            QTest::mouseClick(face, Qt::LeftButton);
            const auto match = QRegularExpression(QStringLiteral("(\\d+) marks")).match(main.lblCPUbenchresult.caption());
            if (!match.hasMatch()) {
                std::fprintf(stderr, "no score in '%s'\n", qPrintable(main.lblCPUbenchresult.caption()));
                return 1;
            }
            scores.push_back(match.captured(1).toDouble());
        }
        std::sort(scores.begin(), scores.end());
        const double median = scores[scores.size() / 2];
        std::printf("CPU benchmark, %-16s: median %.0f marks over %d runs (lowest %.0f, highest %.0f, spread %.1f%%)\n",
                    name, median, runs, scores.front(), scores.back(), 100 * (scores.back() - scores.front()) / median);
    }
    fk::destroyAllForms();
    return 0;
}
