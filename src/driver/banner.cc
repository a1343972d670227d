#include "driver/banner.h"

#include <cstdio>

#include "driver/assembly.h"

namespace koral {

void print_banner(Assembly& a) {
  if (a.run.banner_printed) return;
  if (a.option(opt_no_banner) && !a.option(opt_version)) return;
  a.run.banner_printed = true;
  std::printf("%s V%s\n%s\n\n", product_name, product_version, notice_line);
}

}  // namespace koral
