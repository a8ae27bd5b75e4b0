#include "MessageBoxSeam.h"

namespace {
MessageBoxSeam::Answerer& Current() {
    static MessageBoxSeam::Answerer answerer;
    return answerer;
}
}  // namespace

void MessageBoxSeam::Install(Answerer answerer) { Current() = std::move(answerer); }

bool MessageBoxSeam::IsScripted() { return static_cast<bool>(Current()); }

int MessageBoxSeam::Answer(const MsgBoxRequest& request) {
    const auto& a = Current();
    return a ? a(request) : -1;
}
