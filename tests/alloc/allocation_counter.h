#pragma once
// Counts calls of the global allocation functions, which this test program alone replaces, so
// that the other test programs keep the sanitizer's new/delete checks.
namespace alloccount {

// Counts from construction to destruction; nesting is not supported.
class Counting {
public:
  Counting();
  ~Counting();
  Counting(const Counting&) = delete;
  Counting& operator=(const Counting&) = delete;
  long count() const;
};

} // namespace alloccount
