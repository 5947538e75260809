#pragma once

#include <cstring>
#include <exception>

namespace gridseek {

// Carries one failure text inside the bitmap component; caught at the
// boundary of each public operation of 位图 and copied into its errorText.
class CDIBException : public std::exception {
 public:
  explicit CDIBException(const char* text) noexcept {
    std::strncpy(text_, text, sizeof text_ - 1);
    text_[sizeof text_ - 1] = '\0';
  }
  const char* what() const noexcept override { return text_; }

 private:
  char text_[255] = {};
};

}  // namespace gridseek
