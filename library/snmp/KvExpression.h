#pragma once
// The expression language over value texts: arithmetic ("+", "-", "*", "/", unary signs,
// parentheses, NOW) and conditions ("|", "&", "!", parentheses and the comparisons "<>",
// ">=", "<=", ">", "<", "="). Texts in double quotes are literals; a double quote inside one
// is written twice. The evaluators work on texts alone and know nothing of SNMP.
#include "AnsiString.h"

// The comparison operators, ended by a null entry.
extern const char *const gKvCompareOperators[];

// Arithmetic with the usual precedence ("*" and "/" before "+" and "-") and left-to-right
// grouping. A text that is no number reads as its leading number, or 0; "NOW" is the local
// date and time as days since 1899-12-30. The result may be infinite (division by zero).
double EvalArithmetic(AnsiString text);
// A condition: "|" binds loosest, then "&", then "!"; a group or term is evaluated only when
// its value matters. Raises "(KvCommon) Bad logic operand!" (-1) for a term that is neither
// a comparison nor "true"/"false".
bool EvalCondition(AnsiString text);
// One comparison, or "true"/"false". Sides are compared as numbers when both are (unquoted)
// numbers, else byte by byte as texts.
bool EvalOperand(AnsiString term);
// Index in table of the operator found first from the left outside quoted texts (at one
// position the earlier table entry wins), with the text before and after it; -1 when none
// occurs (left and right untouched).
int FindOperator(const char *const *table, AnsiString text, AnsiString &left, AnsiString &right);
// A text between double quotes loses them and its doubled quotes become single; a text of
// one double quote becomes empty; any other text is returned unchanged.
AnsiString Unquote(AnsiString text);
// The text between double quotes, its double quotes doubled.
AnsiString Quote(const AnsiString &text);
// Every occurrence of pattern replaced, left to right, without overlap and without searching
// the inserted text again; an empty pattern leaves the text unchanged.
AnsiString ReplaceAll(AnsiString text, AnsiString pattern, AnsiString replacement);
// Position (from 1) of the last character of the run of allowed characters that starts at
// start; 0 when the character at start is not allowed or start lies beyond the text.
int ScanNumber(AnsiString text, int start, AnsiString allowed);
