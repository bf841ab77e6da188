#pragma once

#include <functional>

namespace runtime {

// Sounds the platform's alert.
void Beep();

// Called after every Beep(); an empty function removes the observer. Lets tests count beeps,
// which make no sound on a headless machine.
void SetBeepObserver(std::function<void()> observer);

} // namespace runtime
