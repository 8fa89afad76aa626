// One step of the caption's composition.
#pragma once

#include <exception>
#include <utility>

namespace caption {

// At run time a step that fails is skipped and the next one runs; in a
// designer a failure goes to the caller as it does from every other handler.
template <class StepBody>
void Step(bool skipOnFailure, StepBody&& body) {
  if (!skipOnFailure) {
    std::forward<StepBody>(body)();
    return;
  }
  try {
    std::forward<StepBody>(body)();
  } catch (const std::exception&) {
  }
}

}  // namespace caption
