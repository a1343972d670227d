// The instruction statement in each pass: the entry points the statement
// dispatcher calls with the instruction record of the statement in hand.
// Each sets the statement's size (a.run.statement_size); the bytes of pass 2
// and the final pass are in a.code, the relocated fields in a.isa.
#pragma once

#include "isa/operands.h"
#include "source/statement_record.h"

namespace koral {

struct Assembly;

// Pass 1: error 215 outside any section (and nothing else), warning 504 in a
// section without the code attribute; evaluates the operands and classifies
// the instruction (J and CAL through the jump optimisation).  No bytes, size
// 0.  `allocate` reserves an operand record at the end of the statement
// record's body: PUSH and POP of an 8-bit register take one more operand
// when they become LD.
void instruction_pass_one(Assembly& a, InstructionRecord& record, OperandAllocator allocate);

// Pass 2: evaluates the operands, classifies again where the form depends on
// operand values, and encodes; the size is the number of bytes.  A statement
// with an error emits as many zero bytes as its form has opcode bytes.
void instruction_pass_two(Assembly& a, InstructionRecord& record);

// Final pass: encodes with the form of the last pass-2 iteration (CALLV's
// operand, already a vector number, is not evaluated again) and hands the
// bytes and relocated fields to the object writer unless -Xt.
void instruction_final_pass(Assembly& a, InstructionRecord& record);

}  // namespace koral
