// Front-to-back decoding of a fuzz input, little-endian, so seed files can be
// written by hand (see fuzz/make_seeds.py). Reading past the end gives zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzcheck {

class byte_source {
 public:
  byte_source(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}

  std::size_t remaining() const { return static_cast<std::size_t>(end_ - p_); }

  std::uint64_t bytes(int n) {  // n <= 8
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<std::uint64_t>(p_ < end_ ? *p_++ : 0) << (8 * i);
    return v;
  }
  std::uint64_t u64() { return bytes(8); }
  std::uint32_t u32() { return static_cast<std::uint32_t>(bytes(4)); }
  bool flag() { return bytes(1) & 1; }

  // lo..hi; one byte for a range of up to 256 values, two otherwise.
  int in_range(int lo, int hi) {
    std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
    std::uint64_t v = bytes(span <= 256 ? 1 : 2);
    return lo + static_cast<int>(v % span);
  }

  // A length byte (cut to max) and that many bytes.
  std::string text(std::size_t max) {
    std::size_t n = bytes(1);
    if (n > max) n = max;
    if (n > remaining()) n = remaining();
    std::string s(reinterpret_cast<const char*>(p_), n);
    p_ += n;
    return s;
  }

 private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

}  // namespace fuzzcheck
