// Token numbers of the statement language.  The lexer returns either a
// character code (1..255) or one of these numbers; the same number space
// serves as statement kinds in the token file and as symbol kinds.
#pragma once

#include <cstdint>

namespace koral {

enum TokenNumber : int32_t {
  NEWLINE = '\n',  // end of line; also returned after a comment
  ALIGN = 257,
  ORG = 258,
  CTL_TITLE = 259,
  CTL_EJECT = 260,
  CTL_LIST = 261,
  CTL_NOLIST = 262,
  CTL_SAVE = 265,
  CTL_RESTORE = 266,
  CONDITION = 269,
  MNEMONIC = 270,
  RESERVED_CONTROL = 271,  // reserved, but accepted by no statement
  MODEL = 272,
  DEBUG_DIRECTIVE = 273,
  DEBUG_TYPE = 274,
  DATA_DIRECTIVE = 275,
  SPACE_DIRECTIVE = 276,
  FILL_DIRECTIVE = 277,
  FILL_BYTE_DIRECTIVE = 278,
  ABS = 280,
  SIZEOF = 282,
  STARTOF = 283,
  CTL_INCLUDE = 284,
  FLOAT_FUNCTION = 286,
  FDATAS = 289,
  FDATAD = 290,
  FDATAX = 291,
  CODE_ADDR = 292,
  REGISTER = 293,
  IDENT = 294,
  MODULE_NAME = 295,
  STRING = 296,
  SHR = 297,
  SHL = 298,
  INTEGER = 299,
  FLOAT = 300,
  END_OF_INPUT = 301,
  MODULE = 302,
  SECTION = 303,
  END = 304,
  EQU = 305,
  PUBLIC = 306,
  EXTERN = 307,
  DB = 317,
};

}  // namespace koral
