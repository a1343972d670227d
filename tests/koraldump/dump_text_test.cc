// Whole dumps of two modules, compared with texts whose values were worked
// out from the bytes: the object writer's worked example (every record), and
// a module with relocated items of every instruction template (summary,
// contents and disassembly); and the command line of the program.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

#include "koraldump.h"
#include "koraldump_test_support.h"

namespace koraldump::test {
namespace {

std::string text_of(void (*print)(const Module&, std::ostream&), const std::vector<uint8_t>& bytes) {
  Module m = load_module(bytes.data(), bytes.size());
  EXPECT_FALSE(m.list.error);
  std::ostringstream out;
  print(m, out);
  return out.str();
}

TEST(KoraldumpText, RecordsOfTheWorkedExample) {
  EXPECT_EQ(text_of(print_records, worked_example()), R"(module "demo", processor "KORAL"

offset    record  fields
000000    MB      processor "KORAL", module "demo"
00000C    AD      bits per unit 8, units per address 3, byte order L
000010    ASW     W0 (attribute-extension part) = 80 (0x50)
000018    ASW     W1 (environment part) = 102 (0x66)
000020    ASW     W2 (section part) = 164 (0xA4)
000028    ASW     W3 (external part) = 180 (0xB4)
000030    ASW     W4 (debug-information part) = 201 (0xC9)
000038    ASW     W5 (data part) = 241 (0xF1)
000040    ASW     W6 (trailer part) = 253 (0xFD)
000048    ASW     W7 (module end) = 253 (0xFD)
000050    NN      N32, name ""
000053    ATN     N32, object format version (37): 4, 0
00005A    ATN     N32, object format type (38): 2
000060    ATN     N32, case sensitivity (39): 2
000066    NN      N33, name ""
000069    ATN     N33, created (50): 2026-12-04 15:30:00
000076    ATN     N33, command line (51): "asmKORAL demo.asm"
00008D    ATN     N33, execution status (52): 0 (no errors or warnings), status byte at offset 146 (0x92)
000093    ATN     N33, host environment (53): 2
000099    ATN     N33, tool and version (54): tool 412 (0x19C), version 1 0 B
0000A4    ST      section 1, name "prog", type CP (CODE, LARGE)
0000AD    SA      section 1 (prog), alignment 1
0000B0    ASS     section 1 (prog), size 3
0000B4    NI      I34, name "start"
0000BC    ATI     I34 "start", type 15 (0xF), attribute 19 (0x13), elements 0
0000C2    ASI     I34 "start" = R1(prog)+0
0000C9    BB10    (assembler information) block size 0, source file "demo.asm", unused 0, tool 412 (0x19C), version "1.0b", created 2026-12-04 15:30:00
0000E6      BB11    (section) kind 1 (CODE), section 1 (prog), start R1(prog)
0000EE      BE      value 3
0000F0    BE
0000F1    SB      section 1 (prog)
0000F3    ASP     section 1 (prog), load address R1(prog)
0000F8    LR      3 bytes: 12 34 56
0000FD    ME
)");
}

TEST(KoraldumpText, SummaryOfTheRelocationExample) {
  EXPECT_EQ(text_of(print_headers, relocation_example()), R"(module:        "relocs"
processor:     "KORAL"
created:       2026-12-04 15:30:00
status:        1 (warnings)

Sections:
  index  name                 kind     class   align        size        base
  1      "code"               CODE     MEDIUM      2    0x000020 relocatable
  2      "vars"               DATA     ABS         -    0x000004    0x008000

Public symbols:
  index  name                 type  elements  value
  I34    "entry"                15         0  R1(code)+0
  I35    "limit"                15         0  0xC8

External symbols:
  index  name                 size class
  X12    "ext"                SMALL

Local symbols:
  index  name                 type  elements  value
  N36    "loop"                 15         1  R1(code)+0xC

Part offsets:
  W0  attribute-extension part         82
  W1  environment part                 92
  W2  section part                    114
  W3  external part                   151
  W4  debug-information part          203
  W5  data part                       251
  W6  trailer part                    404
  W7  module end                      404
)");
}

TEST(KoraldumpText, ContentsOfTheRelocationExample) {
  EXPECT_EQ(text_of(print_contents, relocation_example()), R"(section 1 (code, CODE), 0x000000 to 0x000020
  000000  FC rr rr rr rr 20 0C 02 FD rr rr rr 4B rr rr FC
  000010  FB
  000011  00  repeated 11 times
  00001F  FA
section 2 (vars, DATA), 0x008000 to 0x008004
  008000  01 80
  008002  EE  repeated 2 times
)");
}

// A repeat that is the first output of a section comes before the section's
// load address (RE, ASP, then the repeated load): the address applies to the
// repeated item.
TEST(KoraldumpText, RepeatWrittenBeforeTheLoadAddress) {
  EXPECT_EQ(text_of(print_contents, relocation_example("E5 02  F7 02  E2D0 02 82 8000  ED 01 EE  ED 02 01 80")),
            R"(section 1 (code, CODE), 0x000000 to 0x000020
  000000  FC rr rr rr rr 20 0C 02 FD rr rr rr 4B rr rr FC
  000010  FB
  000011  00  repeated 11 times
  00001F  FA
section 2 (vars, DATA), 0x008000 to 0x008004
  008000  EE  repeated 2 times
  008002  01 80
)");
  // Anything else between a repeat and its load is a damaged module.
  std::vector<uint8_t> damaged = relocation_example("E5 02  E2D0 02 82 8000  F7 02  E5 01  ED 01 EE");
  Module m = load_module(damaged.data(), damaged.size());
  ASSERT_TRUE(m.list.error);
  EXPECT_EQ(m.list.error->message, "RE is not followed by a load record");
}

TEST(KoraldumpText, DisassemblyOfTheRelocationExample) {
  EXPECT_EQ(text_of(print_disassembly, relocation_example()), R"(; disassembly of module relocs
        MODULE  relocs
        EXTERN  SMALL ext
        PUBLIC  entry
        PUBLIC  limit
limit   EQU     0xC8

code    SECTION CODE MEDIUM ALIGN=2
entry:
        JR      ext                     ; 000000  FC rr
        JRS     T,ext                   ; 000002  rr
        CALLV   ext                     ; 000003  rr
        SET     [0x20].ext              ; 000004  rr 20
        LD      A,[0x02]                ; 000006  0C 02
        CALL    loop                    ; 000008  FD rr rr rr
loop:
        LD      HL,$                    ; 00000C  4B rr rr
        JR      loop                    ; 00000F  FC FB
        DFB     0xB,0                   ; 000011  repeated
        ORG     0x1F
        RET                             ; 00001F  FA

vars    SECTION DATA ABS=0x8000
        DB      0x01,0x80               ; 008000
        DFB     2,0xEE                  ; 008002  repeated

        END
)");
}

TEST(KoraldumpText, RecordsOfItemsNameTheirTemplate) {
  std::string text = text_of(print_records, relocation_example());
  EXPECT_NE(text.find("000105    LR      relocated 1 byte (relative): "
                      "@INBLOCK(X12(ext)-(P1(code)-1)-2+0x80,0,0x100)-0x80\n"
                      "                  ; JR displacement of X12(ext), adjustment 2\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("000174    RE      count 11 (0xB)\n"), std::string::npos) << text;
  EXPECT_NE(text.find("0000F3      ASN     N36 \"loop\" = R1(code)+0xC\n"), std::string::npos) << text;
}

// The program itself: options, files and exit statuses.
class KoraldumpProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    // A file of this test's own: ctest runs the tests of this fixture side
    // by side, and one of them writes a damaged module.
    path_ = ::testing::TempDir() + "koraldump_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
            std::to_string(::getpid()) + ".rel";
    write(worked_example());
  }
  void TearDown() override { std::remove(path_.c_str()); }
  void write(const std::vector<uint8_t>& b) {
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                  static_cast<std::streamsize>(b.size()));
  }
  int run_with(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return run(args, out_, err_);
  }
  std::string path_;
  std::ostringstream out_, err_;
};

TEST_F(KoraldumpProgram, OptionsAndStatuses) {
  EXPECT_EQ(run_with({"--help"}), 0);
  EXPECT_NE(out_.str().find("usage: koraldump"), std::string::npos);
  EXPECT_EQ(run_with({}), 2);
  EXPECT_EQ(run_with({"-q", path_}), 2);
  EXPECT_EQ(run_with({"-h", "-d", path_}), 2);
  EXPECT_EQ(run_with({path_, path_}), 2);
  EXPECT_EQ(run_with({path_ + ".missing"}), 1);
  EXPECT_NE(err_.str().find("cannot open"), std::string::npos);
  EXPECT_EQ(run_with({"-h", path_}), 0);
  EXPECT_NE(out_.str().find("\"prog\""), std::string::npos);
  EXPECT_EQ(run_with({"-d", path_}), 0);
  EXPECT_NE(out_.str().find("prog    SECTION CODE LARGE"), std::string::npos);
}

TEST_F(KoraldumpProgram, AFaultEndsWithItsOffset) {
  std::vector<uint8_t> b = worked_example();
  b.resize(251);
  write(b);
  EXPECT_EQ(run_with({path_}), 1);
  // The records before the fault are shown, then the message.
  EXPECT_NE(out_.str().find("0000F3    ASP"), std::string::npos);
  EXPECT_NE(err_.str().find(": offset 250 (0xFA): load data of 3 bytes runs past the end of the module"),
            std::string::npos)
      << err_.str();
  EXPECT_EQ(run_with({"-d", path_}), 1);
  EXPECT_EQ(out_.str(), "");
}

}  // namespace
}  // namespace koraldump::test
