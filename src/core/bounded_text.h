// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace voxrig {

// A text variable of the panel: at most 254 characters of 8-bit text. Every
// copy into it is cut to fit, so no configuration line, typed entry or bank
// line can ever grow a variable past its capacity.
class BoundedText {
 public:
  static constexpr std::size_t kCapacity = 254;

  BoundedText() = default;
  BoundedText(std::string_view text) : text_(Cut(text)) {}  // NOLINT: implicit by design
  BoundedText(const std::string& text) : text_(Cut(text)) {}
  BoundedText(const char* text) : text_(Cut(std::string_view(text))) {}

  BoundedText& operator=(std::string_view text) {
    text_ = Cut(text);
    return *this;
  }
  BoundedText& operator=(const std::string& text) { return *this = std::string_view(text); }
  BoundedText& operator=(const char* text) { return *this = std::string_view(text); }

  // Appends as much of the text as still fits.
  BoundedText& operator+=(std::string_view text) {
    text_ += text.substr(0, kCapacity - text_.size());
    return *this;
  }
  BoundedText& operator+=(char c) {
    if (text_.size() < kCapacity) text_ += c;
    return *this;
  }

  const std::string& str() const { return text_; }
  operator const std::string&() const { return text_; }  // NOLINT: implicit by design
  std::size_t size() const { return text_.size(); }
  bool empty() const { return text_.empty(); }
  void clear() { text_.clear(); }
  char operator[](std::size_t i) const { return text_[i]; }

  friend bool operator==(const BoundedText& a, const BoundedText& b) { return a.text_ == b.text_; }
  friend bool operator==(const BoundedText& a, std::string_view b) { return a.text_ == b; }
  friend bool operator==(const BoundedText& a, const char* b) { return a.text_ == b; }
  friend bool operator==(const BoundedText& a, const std::string& b) { return a.text_ == b; }
  friend std::string operator+(const BoundedText& a, std::string_view b) {
    return a.text_ + std::string(b);
  }
  friend std::string operator+(std::string_view a, const BoundedText& b) {
    return std::string(a) + b.text_;
  }
  friend std::string operator+(const BoundedText& a, const BoundedText& b) {
    return a.text_ + b.text_;
  }
  friend std::string operator+(const BoundedText& a, char b) { return a.text_ + b; }
  // Exact matches for literals and std::string, which would otherwise convert
  // both to std::string_view and to BoundedText and leave "x" + text ambiguous.
  friend std::string operator+(const BoundedText& a, const char* b) { return a.text_ + b; }
  friend std::string operator+(const char* a, const BoundedText& b) { return a + b.text_; }
  friend std::string operator+(const BoundedText& a, const std::string& b) { return a.text_ + b; }
  friend std::string operator+(const std::string& a, const BoundedText& b) { return a + b.text_; }

 private:
  static std::string Cut(std::string_view text) {
    return std::string(text.substr(0, std::min(text.size(), kCapacity)));
  }
  std::string text_;
};

}  // namespace voxrig
