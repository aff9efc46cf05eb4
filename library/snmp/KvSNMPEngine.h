#pragma once
// Steps shared by the synchronous and asynchronous request paths.
#include "AnsiString.h"

class KvSNMPRequest;
class Pdu;

namespace kvengine {

// Status of the usmAddUserName call made by the last BuildTarget (1400 when none was made),
// and why it failed.
int lastUsmStatus();
const AnsiString &lastUsmText();
// As a target without a user leaves them.
void clearUsmStatus();

// Takes an answer into the request's readable items. Returns true when every readable
// item's column has ended (the walk or read is over); otherwise splits the row index of a
// table into its keys and evaluates every item's get expression.
bool takeAnswer(KvSNMPRequest &request, const Pdu &answer);

// A get or set whose answer carries noSuchObject, noSuchInstance or endOfMibView with error
// status 0 fails the same way as SNMPv1's noSuchName: status 2 with the binding's index (an
// agent that answers a set so did not take it).
int foldExceptions(int status, Pdu &answer);

// A scalar read must be answered for each object asked, by its name and in order. Returns
// the position (from 1) of the first binding that is missing or names another object, with
// why; 0 when the answer is sound (and always for a table).
int foreignScalarAnswer(KvSNMPRequest &request, const Pdu &answer, AnsiString &why);
// The values of a refused scalar answer: every readable item "(NOTDONE)".
void refuseScalarAnswer(KvSNMPRequest &request);

// The readable items whose binding in the answer stands where their previous answer stood.
bool bindingStayed(KvSNMPRequest &request, const Pdu &answer, int readablePosition);

} // namespace kvengine
