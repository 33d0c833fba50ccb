#pragma once
// Named text console. Placeholder until the console lands: creation always
// succeeds and nothing is kept.

class con {
 public:
  bool create(const char* name, int x, int y);
};
