// Jump optimisation benchmark: assembles a generated source in which a
// quarter of the lines are generic jumps to labels at mixed distances, runs
// the phases one by one and prints the time of pass 1, of each pass-2
// iteration, of one plain read of the token file (records and arena images,
// no statement handled) and of the final pass.  Built and run by
// bench/jump_bench.sh.
//
//     jump_bench [lines] [rounds] [source]
//
// With a source file given, that file is assembled instead of the generated
// one (`lines` then only labels the report).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/files.h"
#include "driver/options.h"
#include "driver/passes.h"
#include "directives/sections.h"
#include "object/object_writer.h"
#include "source/replay.h"
#include "source/token_file.h"
#include "symbols/numbering.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Blocks of 16 lines: a label, four jumps and eleven other instructions.  The
// jumps go a block back (JR), a block ahead (JR), fifty blocks ahead (JP) and
// to the block's own label (JRS or JR by its condition), so their forms differ
// and depend on one another.
std::string generate(int lines) {
  static const char* const others[] = {
      "        LD      A,[HL]\n",          "        ADD     A,5\n",
      "        LD      HL,0x1234\n",       "        LD      [DE],A\n",
      "        CMP     A,7\n",             "        INC     B\n",
      "        LD      IX,0x123456\n",     "        NOP\n",
      "        LD      A,[0x12345]\n",     "        DEC     HL\n",
      "        XOR     A,A\n",
  };
  int blocks = (lines - 3) / 16;
  std::string text = "        MODULE  jumps\ncode    SECTION CODE\n";
  text.reserve(static_cast<std::size_t>(lines) * 22);
  char line[96];
  for (int b = 0; b < blocks; ++b) {
    std::snprintf(line, sizeof line, "L%d:\n", b);
    text += line;
    int back = b > 0 ? b - 1 : 0;
    int ahead = std::min(b + 1, blocks - 1);
    int far = std::min(b + 50, blocks - 1);
    for (int i = 0; i < 15; ++i) {
      switch (i) {
        case 1: std::snprintf(line, sizeof line, "        J       NZ,L%d\n", back); break;
        case 5: std::snprintf(line, sizeof line, "        J       L%d\n", ahead); break;
        case 9: std::snprintf(line, sizeof line, "        J       CS,L%d\n", far); break;
        case 13: std::snprintf(line, sizeof line, "        J       T,L%d\n", b); break;
        default: std::snprintf(line, sizeof line, "%s", others[(b + i) % 11]); break;
      }
      text += line;
    }
  }
  int written = 2 + blocks * 16;
  for (; written < lines - 1; ++written) text += "        NOP\n";
  text += "        END\n";
  return text;
}

struct Timing {
  double pass_one = 0, pass_two = 0, read = 0, final_pass = 0, total = 0;
  std::vector<double> iterations;  // time of each pass-2 iteration
  int status = 0;
};

// Pass 2 as the driver runs it, each iteration timed.
void run_pass_two_timed(koral::Assembly& a, Timing& t) {
  a.run.pass = koral::pass_two;
  a.run.iteration = 0;
  a.run.another_iteration = true;
  while (a.run.another_iteration && a.run.iteration < koral::RunState::max_iterations) {
    Clock::time_point start = Clock::now();
    koral::rewind_token_file(a);
    koral::reset_pass_state(a);
    a.run.another_iteration = false;
    while (koral::RecordHeader* header = koral::read_record(a)) koral::replay_statement(a, *header);
    koral::finish_section_sizes(a);
    ++a.run.iteration;
    t.iterations.push_back(seconds_since(start));
  }
}

// One plain read of the token file: what every pass-2 iteration has to do
// at least.
double time_plain_read(koral::Assembly& a) {
  Clock::time_point start = Clock::now();
  koral::rewind_token_file(a);
  while (koral::RecordHeader* header = koral::read_record(a))
    if (!(header->flags & koral::record_size_final)) koral::restore_arena(a, header);
  return seconds_since(start);
}

Timing assemble(const std::string& folder) {
  Timing t;
  koral::Assembly a;
  if (chdir(folder.c_str()) != 0) return t;
  Clock::time_point start = Clock::now();
  try {
    a.temps.use_disk(false);
    a.run.command_line = "asmKORAL -$ jumps.asm";
    a.temps.build_names("");
    koral::process_arguments(a, {"-$", "jumps.asm"});
    koral::open_source_and_token_file(a);
    koral::prescan_option_lines(a);
    koral::settle_output_names(a);
    std::string module = koral::default_module_name(a);
    Clock::time_point phase = Clock::now();
    koral::run_pass_one(a);
    t.pass_one = seconds_since(phase);
    if (a.run.module_name.empty()) a.run.module_name = module;
    phase = Clock::now();
    run_pass_two_timed(a, t);
    t.pass_two = seconds_since(phase);
    t.read = time_plain_read(a);
    koral::drop_undefined_publics(a);
    koral::object_begin(a);
    phase = Clock::now();
    koral::run_final_pass(a);
    t.final_pass = seconds_since(phase);
    koral::object_finish(a);
    t.status = a.diag.error_count ? 16 : 0;
  } catch (const koral::RunAborted&) {
    t.status = 192;
  }
  if (a.object.stream) std::fclose(a.object.stream);
  a.object.stream = nullptr;
  a.temps.remove_all();
  if (a.sources.stream) std::fclose(a.sources.stream);
  a.sources.stream = nullptr;
  t.total = seconds_since(start);
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  int lines = argc > 1 ? std::atoi(argv[1]) : 1000000;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  char dir_template[] = "/tmp/koral-jump-bench-XXXXXX";
  if (!mkdtemp(dir_template)) return 1;
  std::string folder = dir_template;
  {
    std::ofstream out(folder + "/jumps.asm", std::ios::binary);
    if (argc > 3) {
      std::ifstream in(argv[3], std::ios::binary);
      out << in.rdbuf();
    } else {
      out << generate(lines);
    }
  }
  std::vector<Timing> runs;
  for (int r = 0; r < rounds; ++r) runs.push_back(assemble(folder));
  std::sort(runs.begin(), runs.end(), [](const Timing& x, const Timing& y) { return x.total < y.total; });
  const Timing& t = runs[runs.size() / 2];
  std::printf("lines %d, %s; median of %d runs, status %d\n", lines,
              argc > 3 ? argv[3] : "a quarter of them J", rounds, t.status);
  std::printf("  pass 1                 %8.3f s\n", t.pass_one);
  std::printf("  pass 2, %2zu iterations  %8.3f s\n", t.iterations.size(), t.pass_two);
  for (std::size_t i = 0; i < t.iterations.size(); ++i)
    std::printf("    iteration %2zu         %8.3f s  (%.2f x the plain read)\n", i, t.iterations[i],
                t.read > 0 ? t.iterations[i] / t.read : 0.0);
  std::printf("  plain read of records  %8.3f s\n", t.read);
  std::printf("  final pass             %8.3f s\n", t.final_pass);
  std::printf("  whole run              %8.3f s  (%.0f lines/s)\n", t.total, lines / t.total);
  std::remove((folder + "/jumps.asm").c_str());
  std::remove((folder + "/jumps.rel").c_str());
  rmdir(folder.c_str());
  return 0;
}
