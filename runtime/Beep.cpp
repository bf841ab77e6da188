#include "runtime/Beep.h"

#include <QApplication>

namespace runtime {
namespace {
std::function<void()>& Observer() {
    static std::function<void()> observer;
    return observer;
}
} // namespace

void Beep() {
    QApplication::beep();
    if (const auto& observer = Observer())
        observer();
}

void SetBeepObserver(std::function<void()> observer) { Observer() = std::move(observer); }

} // namespace runtime
