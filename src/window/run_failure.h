#pragma once

#include <QString>
#include <exception>

namespace marquee8 {

// What the user is told when a run fails, naming the kind of failure.
QString describe_failure(std::exception_ptr failure);

}  // namespace marquee8
