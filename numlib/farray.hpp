// Fixed-size arrays indexed the way the physics is written down: from 1
// (or another lower bound), several dimensions stored column by column, the
// first index running fastest.  Nothing is allocated; the storage lives in the
// object.  Indices are checked when NRS_BOUNDS_CHECK is set (Debug and
// sanitizer builds), so an overrun stops with a message instead of silently
// corrupting a neighbouring array.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#ifndef NRS_BOUNDS_CHECK
#define NRS_BOUNDS_CHECK 0
#endif

namespace numlib {

inline constexpr bool kBoundsCheck = NRS_BOUNDS_CHECK != 0;

// Prints what was indexed out of range and aborts.
[[noreturn]] void boundsFailure(long index, long lo, long hi, int dim);

inline void checkIndex(long index, long lo, long hi, int dim) {
  if constexpr (kBoundsCheck) {
    if (index < lo || index > hi) boundsFailure(index, lo, hi, dim);
  }
}

// One-based (by default) view of n contiguous elements owned elsewhere.
template <class T>
class Span1 {
 public:
  Span1() = default;
  Span1(T* first, int n, int lb = 1) : p_(first), n_(n), lb_(lb) {}
  template <class U>
  Span1(const Span1<U>& o) : p_(o.data()), n_(o.size()), lb_(o.lower()) {}

  T& operator()(int i) const {
    checkIndex(i, lb_, lb_ + n_ - 1, 1);
    return p_[i - lb_];
  }
  T* data() const { return p_; }
  int size() const { return n_; }
  int lower() const { return lb_; }
  // View of elements i..i+n-1, renumbered from 1 (passing A(i) as an array).
  Span1 tail(int i, int n) const {
    checkIndex(i, lb_, lb_ + n_ - 1, 1);
    checkIndex(i + n - 1, lb_ - 1, lb_ + n_ - 1, 1);
    return Span1(p_ + (i - lb_), n, 1);
  }

 private:
  T* p_ = nullptr;
  int n_ = 0;
  int lb_ = 1;
};

// Column-ordered two-dimensional view, both indices one-based.
template <class T>
class Span2 {
 public:
  Span2() = default;
  Span2(T* first, int n1, int n2) : p_(first), n1_(n1), n2_(n2) {}
  template <class U>
  Span2(const Span2<U>& o) : p_(o.data()), n1_(o.rows()), n2_(o.cols()) {}

  T& operator()(int i, int j) const {
    checkIndex(i, 1, n1_, 1);
    checkIndex(j, 1, n2_, 2);
    return p_[(i - 1) + static_cast<std::ptrdiff_t>(n1_) * (j - 1)];
  }
  T* data() const { return p_; }
  int rows() const { return n1_; }
  int cols() const { return n2_; }
  Span1<T> col(int j) const {
    checkIndex(j, 1, n2_, 2);
    return Span1<T>(p_ + static_cast<std::ptrdiff_t>(n1_) * (j - 1), n1_);
  }

 private:
  T* p_ = nullptr;
  int n1_ = 0;
  int n2_ = 0;
};

// A(LB..LB+N-1)
template <class T, int N, int LB = 1>
class Arr1 {
 public:
  static constexpr int kSize = N;
  static constexpr int kLower = LB;

  T& operator()(int i) {
    checkIndex(i, LB, LB + N - 1, 1);
    return d_[i - LB];
  }
  const T& operator()(int i) const {
    checkIndex(i, LB, LB + N - 1, 1);
    return d_[i - LB];
  }
  T* data() { return d_.data(); }
  const T* data() const { return d_.data(); }
  static constexpr int size() { return N; }
  void fill(const T& v) { d_.fill(v); }
  operator Span1<T>() { return Span1<T>(d_.data(), N, LB); }
  operator Span1<const T>() const { return Span1<const T>(d_.data(), N, LB); }
  Span1<T> span() { return *this; }
  Span1<const T> span() const { return *this; }
  bool operator==(const Arr1&) const = default;

 private:
  std::array<T, N> d_{};
};

// A(LB1..LB1+N1-1, LB2..LB2+N2-1), column order.
template <class T, int N1, int N2, int LB1 = 1, int LB2 = 1>
class Arr2 {
 public:
  static constexpr int kRows = N1;
  static constexpr int kCols = N2;

  T& operator()(int i, int j) {
    checkIndex(i, LB1, LB1 + N1 - 1, 1);
    checkIndex(j, LB2, LB2 + N2 - 1, 2);
    return d_[(i - LB1) + static_cast<std::size_t>(N1) * (j - LB2)];
  }
  const T& operator()(int i, int j) const {
    checkIndex(i, LB1, LB1 + N1 - 1, 1);
    checkIndex(j, LB2, LB2 + N2 - 1, 2);
    return d_[(i - LB1) + static_cast<std::size_t>(N1) * (j - LB2)];
  }
  T* data() { return d_.data(); }
  const T* data() const { return d_.data(); }
  void fill(const T& v) { d_.fill(v); }
  // Column j as a one-based vector (Fortran's A(1,j) passed as an array).
  Span1<T> col(int j) {
    checkIndex(j, LB2, LB2 + N2 - 1, 2);
    return Span1<T>(d_.data() + static_cast<std::size_t>(N1) * (j - LB2), N1, LB1);
  }
  Span1<const T> col(int j) const {
    checkIndex(j, LB2, LB2 + N2 - 1, 2);
    return Span1<const T>(d_.data() + static_cast<std::size_t>(N1) * (j - LB2), N1, LB1);
  }
  operator Span2<T>() requires(LB1 == 1 && LB2 == 1) { return Span2<T>(d_.data(), N1, N2); }
  operator Span2<const T>() const requires(LB1 == 1 && LB2 == 1) {
    return Span2<const T>(d_.data(), N1, N2);
  }
  Span2<T> span() requires(LB1 == 1 && LB2 == 1) { return *this; }
  Span2<const T> span() const requires(LB1 == 1 && LB2 == 1) { return *this; }
  bool operator==(const Arr2&) const = default;

 private:
  std::array<T, static_cast<std::size_t>(N1) * N2> d_{};
};

// A(1..N1, 1..N2, 1..N3), column order.
template <class T, int N1, int N2, int N3>
class Arr3 {
 public:
  T& operator()(int i, int j, int k) {
    checkIndex(i, 1, N1, 1);
    checkIndex(j, 1, N2, 2);
    checkIndex(k, 1, N3, 3);
    return d_[(i - 1) + static_cast<std::size_t>(N1) * ((j - 1) + static_cast<std::size_t>(N2) * (k - 1))];
  }
  const T& operator()(int i, int j, int k) const {
    checkIndex(i, 1, N1, 1);
    checkIndex(j, 1, N2, 2);
    checkIndex(k, 1, N3, 3);
    return d_[(i - 1) + static_cast<std::size_t>(N1) * ((j - 1) + static_cast<std::size_t>(N2) * (k - 1))];
  }
  T* data() { return d_.data(); }
  const T* data() const { return d_.data(); }
  void fill(const T& v) { d_.fill(v); }

 private:
  std::array<T, static_cast<std::size_t>(N1) * N2 * N3> d_{};
};

}  // namespace numlib
