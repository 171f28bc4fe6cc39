#include "engine/builder/finite_field.h"

#include <vector>

namespace quirmel {

Field MakeField(int p, int n) {
  int q = 1;
  for (int i = 0; i < n; ++i)
    q *= p;
  const auto digits = [&](int x) {
    std::vector<int> d(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i, x /= p)
      d[static_cast<std::size_t>(i)] = x % p;
    return d;
  };
  const auto number = [&](const std::vector<int>& d) {
    int x = 0;
    for (int i = n - 1; i >= 0; --i)
      x = x * p + d[static_cast<std::size_t>(i)];
    return x;
  };
  Field field{.p = p, .q = q, .sum = {}, .product = {}};
  for (int a = 0; a < q; ++a) {
    for (int b = 0; b < q; ++b) {
      std::vector<int> d = digits(a);
      const std::vector<int> e = digits(b);
      for (int i = 0; i < n; ++i)
        d[static_cast<std::size_t>(i)] =
            (d[static_cast<std::size_t>(i)] + e[static_cast<std::size_t>(i)]) % p;
      field.sum.push_back(number(d));
    }
  }
  for (int low = 0; low < q; ++low) {  // x^n = -(the digits of `low`) as the reduction rule
    const std::vector<int> reduce = digits(low);
    field.product.assign(static_cast<std::size_t>(q * q), 0);
    bool zeroDivisor = false;
    for (int a = 0; a < q && !zeroDivisor; ++a) {
      for (int b = 0; b < q; ++b) {
        std::vector<int> full(static_cast<std::size_t>(2 * n), 0);
        const std::vector<int> x = digits(a);
        const std::vector<int> y = digits(b);
        for (int i = 0; i < n; ++i) {
          for (int j = 0; j < n; ++j)
            full[static_cast<std::size_t>(i + j)] +=
                x[static_cast<std::size_t>(i)] * y[static_cast<std::size_t>(j)];
        }
        for (int i = 2 * n - 1; i >= n; --i) {  // x^i = x^(i-n) x^n
          const int c = full[static_cast<std::size_t>(i)] % p;
          full[static_cast<std::size_t>(i)] = 0;
          for (int j = 0; j < n; ++j)
            full[static_cast<std::size_t>(i - n + j)] +=
                c * (p - reduce[static_cast<std::size_t>(j)]);
        }
        std::vector<int> d(full.begin(), full.begin() + n);
        for (int& c : d)
          c %= p;
        const int value = number(d);
        field.product[static_cast<std::size_t>(a * q + b)] = value;
        if (a != 0 && b != 0 && value == 0) zeroDivisor = true;
      }
    }
    if (!zeroDivisor) break;
  }
  return field;
}

int Field::Primitive() const {
  for (int g = 1; g < q; ++g) {
    int x = g;
    int order = 1;
    while (x != 1) {
      x = Mul(x, g);
      ++order;
    }
    if (order == q - 1) return g;
  }
  return 1;
}

PrimePower AsPrimePower(int q) {
  for (int p = 2; p <= q; ++p) {
    if (q % p != 0) continue;
    int n = 0;
    while (q % p == 0) {
      q /= p;
      ++n;
    }
    return q == 1 ? PrimePower{p, n} : PrimePower{};
  }
  return {};
}

}  // namespace quirmel
