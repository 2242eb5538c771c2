// CCipherError: what every part of the file cipher throws. The text is the
// whole message; the library loader catches it and treats the library as
// unreadable, the tools print it.
#pragma once

#include <stdexcept>
#include <string>

class CCipherError : public std::runtime_error {
public:
    explicit CCipherError(const std::string& strMessage) : std::runtime_error(strMessage) {}
};
