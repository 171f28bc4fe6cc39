#pragma once

// Finite fields of a few hundred elements at most, as tables: the field of q = p^n elements is
// the polynomials over the integers modulo p of degree below n (an element's base-p digits are
// its coefficients), multiplied modulo a monic polynomial of degree n that has no zero divisors,
// found by trying them in turn. 0 and 1 are the field's zero and one.

#include <vector>

namespace quirmel {

struct Field {
  int p = 0;
  int q = 0;
  std::vector<int> sum;      // q x q
  std::vector<int> product;  // q x q

  int Add(int a, int b) const { return sum[static_cast<std::size_t>(a * q + b)]; }
  int Mul(int a, int b) const { return product[static_cast<std::size_t>(a * q + b)]; }
  int Neg(int a) const {
    for (int b = 0; b < q; ++b) {
      if (Add(a, b) == 0) return b;
    }
    return 0;
  }
  int Inv(int a) const {
    for (int b = 1; b < q; ++b) {
      if (Mul(a, b) == 1) return b;
    }
    return 0;
  }
  int Primitive() const;  // an element of multiplicative order q - 1
};

// The field of p^n elements, p prime.
Field MakeField(int p, int n);

// p and n when q = p^n for a prime p (n >= 1); {0, 0} otherwise.
struct PrimePower {
  int p = 0;
  int n = 0;
};
PrimePower AsPrimePower(int q);

}  // namespace quirmel
