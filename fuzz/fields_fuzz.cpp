// Fuzz target for the fixed-width fields and the free-form report line.
// Every value is written in each layout the programs use and compared with
// the text built from its exact decimal expansion; the text is also read back
// and must lie within half a unit of its last digit of the value.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/byte_source.h"
#include "fuzz/exact_decimal.h"
#include "fuzz/expected_fields.h"
#include "fuzz/read_back.h"
#include "textio/fields.h"
#include "textio/freeform.h"
#include "textio/line.h"

namespace {

using namespace fuzzcheck;

[[noreturn]] void fail(const char* what, double v, const std::string& got,
                       const std::string& want) {
  std::fprintf(stderr, "FIELD CHECK FAILED: %s\n  value %a (%.17g)\n  got  [%s]\n  want [%s]\n",
               what, v, v, got.c_str(), want.c_str());
  std::abort();
}

bool one_of(const std::string& s, const std::vector<std::string>& options) {
  for (const auto& o : options)
    if (s == o) return true;
  return false;
}

std::string joined(const std::vector<std::string>& options) {
  std::string s;
  for (const auto& o : options) s += (s.empty() ? "" : "] or [") + o;
  return s;
}

// Runs `put` on a heap buffer of exactly `width` characters (so a write past
// the field is caught) and checks the returned end.
template <class Put>
std::string written(const char* what, double v, int width, Put put) {
  std::vector<char> field(width);
  char* end = put(field.data());
  if (end != field.data() + width)
    fail(what, v, "returned end off by " + std::to_string(end - field.data() - width), "0");
  return std::string(field.data(), width);
}

std::string check_sci(double v, int width, int digits) {
  std::string got =
      written("put_sci", v, width, [&](char* p) { return textio::put_sci(p, v, width, digits); });
  std::string want = expected_sci(v, width, digits);
  std::string what = "put_sci(" + std::to_string(width) + "," + std::to_string(digits) + ")";
  if (got != want) fail(what.c_str(), v, got, want);
  if (std::isfinite(v) && got[0] != '*' && !reads_back_within_half_unit(got, v))
    fail((what + " read-back").c_str(), v, got, want);
  return got;
}

std::string check_dexp(double v, int width, int digits) {
  std::string got =
      written("put_dexp", v, width, [&](char* p) { return textio::put_dexp(p, v, width, digits); });
  std::string want = expected_dexp(v, width, digits);
  if (got != want) fail("put_dexp", v, got, want);
  if (std::isfinite(v) && got[0] != '*' && !reads_back_within_half_unit(got, v))
    fail("put_dexp read-back", v, got, want);
  return got;
}

std::string check_fixed(double v, int width, int digits) {
  std::string got = written("put_fixed", v, width,
                            [&](char* p) { return textio::put_fixed(p, v, width, digits); });
  std::vector<std::string> want = expected_fixed(v, width, digits);
  std::string what = "put_fixed(" + std::to_string(width) + "," + std::to_string(digits) + ")";
  if (!one_of(got, want)) fail(what.c_str(), v, got, joined(want));
  if (std::isfinite(v) && got[0] != '*' && !reads_back_within_half_unit(got, v))
    fail((what + " read-back").c_str(), v, got, joined(want));
  return got;
}

void check_significant_digits(double v, int count) {
  if (!std::isfinite(v) || v == 0.0) return;
  std::vector<char> digits(count);
  int e = textio::significant_digits(v, count, digits.data());
  decimal want = round_significant(exact_decimal(v), count);
  std::string got(digits.data(), count);
  if (got != want.digits || e != want.exp)
    fail(("significant_digits count " + std::to_string(count)).c_str(), v,
         got + " e" + std::to_string(e), want.digits + " e" + std::to_string(want.exp));
}

// A textio::line fed the same fields must hold what the fields wrote, in
// order, cut at its capacity.
struct line_mirror {
  textio::line line;
  std::string want;

  void check() const {
    std::string expect = want.substr(0, textio::line::capacity);
    if (line.view() != expect || line.size() != expect.size())
      fail("line", 0, std::string(line.view()), expect);
  }
};

// The layouts of the programs' rows, reports and messages.
void check_layouts_in_use(double v, line_mirror& m) {
  static const int sci[][2] = {{15, 6}, {15, 4}, {12, 4}, {12, 5}, {10, 3}};
  for (const auto& s : sci) {
    m.want += check_sci(v, s[0], s[1]);
    m.line.sci(v, s[0], s[1]);
  }
  m.want += check_dexp(v, 21, 13);
  m.line.dexp(v, 21, 13);
  m.want += check_fixed(v, 10, 3);
  m.line.f(v, 10, 3);
}

// A free-form line built item by item, checked against the expected items.
struct free_item {
  enum { text, integer, real, single } kind;
  std::string s;
  long long i = 0;
  double d = 0;
  float f = 0;
};

std::vector<std::string> expected_item(const free_item& it, bool after_number) {
  switch (it.kind) {
    case free_item::text:
      return {(after_number ? " " : "") + it.s};
    case free_item::integer:
      return {expected_free_integer(it.i)};
    case free_item::real:
      return expected_free_real(it.d);
    case free_item::single:
      return expected_free_single(it.f);
  }
  return {};
}

std::size_t longest(const std::vector<std::string>& options) {
  std::size_t n = 0;
  for (const auto& o : options) n = std::max(n, o.size());
  return n;
}

void check_free_line(const std::vector<free_item>& items) {
  textio::freeform line;
  for (const auto& it : items) {
    switch (it.kind) {
      case free_item::text:
        line.text(it.s);
        break;
      case free_item::integer:
        line.integer(it.i);
        break;
      case free_item::real:
        line.real(it.d);
        break;
      case free_item::single:
        line.single(it.f);
        break;
    }
  }
  std::string got(line.view());
  if (got.empty() || got[0] != ' ') fail("freeform: no leading blank", 0, got, " ...");
  std::size_t pos = 1;
  bool after_number = false;
  for (const auto& it : items) {
    std::vector<std::string> want = expected_item(it, after_number);
    double v = it.kind == free_item::real ? it.d : it.kind == free_item::single ? it.f : 0;
    const std::string* matched = nullptr;
    for (const auto& w : want) {
      if (got.compare(pos, w.size(), w) == 0 &&
          (it.kind == free_item::text || pos + w.size() == got.size() ||
           got[pos + w.size()] == ' ')) {
        matched = &w;
        break;
      }
    }
    // A full buffer cuts the line: what is left must start an admissible text.
    if (!matched && got.size() == textio::freeform::capacity) {
      for (const auto& w : want)
        if (w.size() > got.size() - pos && w.compare(0, got.size() - pos, got, pos) == 0) return;
    }
    if (!matched) fail("freeform item", v, got.substr(pos), joined(want));
    bool number = it.kind == free_item::real || it.kind == free_item::single;
    if (number && !reads_back_within_half_unit(*matched, v))
      fail("freeform read-back", v, *matched, joined(want));
    pos += matched->size();
    after_number = it.kind != free_item::text;
  }
  if (pos != got.size()) fail("freeform: trailing characters", 0, got.substr(pos), "");
}

// Non-finite numbers in a free-form line have no prescribed text; they must
// still give one line inside the buffer.
void check_free_non_finite(double v) {
  textio::freeform a, b;
  a.real(v);
  b.single(static_cast<float>(v));
  for (auto view : {a.view(), b.view()}) {
    if (view.size() > textio::freeform::capacity || view.empty() || view[0] != ' ' ||
        view.find('\n') != std::string_view::npos)
      fail("freeform non-finite", v, std::string(view), " <one line>");
  }
}

double next_value(byte_source& in, int how) {
  switch (how) {
    case 0: {  // any bit pattern
      std::uint64_t bits = in.u64();
      double v;
      std::memcpy(&v, &bits, sizeof v);
      return v;
    }
    case 1: {  // a short binary fraction: exact halfway cases
      std::uint64_t m = in.u64();
      m >>= in.in_range(11, 63);
      int e = in.in_range(-1100, 1000);
      double v = std::ldexp(static_cast<double>(m), e);
      return in.flag() ? -v : v;
    }
    default: {  // nearest double to a short decimal: near-halfway cases
      int n = in.in_range(1, 18);
      unsigned long long m = in.u64();
      unsigned long long p = 1;
      for (int k = 0; k < n; ++k) p *= 10;
      int e = in.in_range(-345, 320);
      char buf[64];
      std::snprintf(buf, sizeof buf, "%s%llue%d", in.flag() ? "-" : "", m % p, e);
      return std::strtod(buf, nullptr);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  byte_source in(data, size);
  std::vector<free_item> items;
  line_mirror mirror;
  std::size_t free_length = 1;
  auto add = [&](free_item it) {
    std::size_t n = 1 + longest(expected_item(it, true));
    if (free_length + n < 2 * textio::freeform::capacity) {
      free_length += n;
      items.push_back(std::move(it));
    }
  };
  while (in.remaining() > 0) {
    int op = in.in_range(0, 9);
    switch (op) {
      case 0:
      case 1:
      case 2: {
        double v = next_value(in, op);
        check_layouts_in_use(v, mirror);
        check_significant_digits(v, in.in_range(1, 40));
        if (std::isfinite(v))
          add({free_item::real, "", 0, v, 0});
        else
          check_free_non_finite(v);
        break;
      }
      case 3: {  // other widths and digit counts
        double v = next_value(in, in.in_range(0, 2));
        int width = in.in_range(1, 40);
        int sci_digits = in.in_range(1, 15);
        mirror.want += check_sci(v, width, sci_digits);
        mirror.line.sci(v, width, sci_digits);
        int fixed_digits = in.in_range(0, 15);
        mirror.want += check_fixed(v, width, fixed_digits);
        mirror.line.f(v, width, fixed_digits);
        break;
      }
      case 4: {
        long long v = static_cast<long long>(in.u64());
        int width = in.in_range(1, 25);
        std::string got = written("put_int", static_cast<double>(v), width,
                                  [&](char* p) { return textio::put_int(p, v, width); });
        std::string want = expected_int(v, width);
        if (got != want) fail(("put_int " + std::to_string(v)).c_str(), 0, got, want);
        mirror.want += got;
        mirror.line.i(v, width);
        add({free_item::integer, "", v, 0, 0});
        break;
      }
      case 5: {
        int width = in.in_range(1, 20);
        std::string s = in.text(30);
        std::string got =
            written("put_text", 0, width, [&](char* p) { return textio::put_text(p, s, width); });
        std::string want = expected_text(s, width);
        if (got != want) fail("put_text", 0, got, want);
        mirror.want += got;
        mirror.line.a(s, width);
        break;
      }
      case 6: {
        std::uint32_t bits = in.u32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f))
          add({free_item::single, "", 0, 0, f});
        else
          check_free_non_finite(f);
        break;
      }
      case 7: {  // a text, repeated so that short inputs can fill the line
        std::string piece = in.text(40);
        std::string s;
        for (int n = in.in_range(1, 64); n > 0; --n) s += piece;
        add({free_item::text, s, 0, 0, 0});
        break;
      }
      case 8: {
        int blanks = in.in_range(0, 255);
        mirror.want.append(blanks, ' ');
        mirror.line.x(blanks);
        break;
      }
      default: {
        std::string s = in.text(255);
        mirror.want += s;
        mirror.line.lit(s);
        break;
      }
    }
  }
  check_free_line(items);
  mirror.check();
  return 0;
}
