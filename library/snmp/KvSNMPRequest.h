#pragma once
// One SNMP request context bound to one variable list: reads (get, or get-next row by row
// for tables), writes (set), synchronously or asynchronously, with value and index
// conversions and expressions as virtual operations that derived requests may replace.
//
// Where things live:
//   KvSNMPRequestConvert.cpp  VbToValue, ValueToVb (value conversion by syntax)
//   KvSNMPRequestIndex.cpp    IndexToValue, ValueToIndex, IsEndOfColumn, FailureCount
//   KvSNMPRequestExpr.cpp     ExpandExpression, EvaluateItem, IsConditionTrue, MatchesFilter,
//                             MatchesCondition
//   engine files              constructor, destructor, LoadDefaults, Get, GetAsync, Set,
//                             SetAsync, BuildTarget, BuildPdu, BuildIndexedOid, IndexToKeys,
//                             the global session and request defaults
#include "AnsiString.h"
#include "KvSNMPRecords.h"
#include "KvSNMPVarList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kvengine {
class RequestCache;
}
class Oid;
class Vb;
class Pdu;
class Snmp;
class SnmpTarget;
class CTarget;
class UTarget;

// Status callback of a request: every failure the request reports itself.
using KvSNMPResultProc = std::function<void(KvSNMPError *status)>;
// Completion of an asynchronous request: the outcome and the request's variable list.
using KvSNMPCompletion = std::function<void(KvSNMPError *status, KvSNMPVarList *list)>;

// Kinds of PDU that BuildPdu makes.
enum KvSNMPPduKind : int { pkFirstRead = 0, pkNextRead = 1, pkWrite = 2 };

class KvSNMPRequest {
public:
    KvSNMPRequest();
    virtual ~KvSNMPRequest();
    KvSNMPRequest(const KvSNMPRequest &) = delete;
    KvSNMPRequest &operator=(const KvSNMPRequest &) = delete;

    KvSNMPResultProc OnResult;
    int32_t Timeout = 100; // one try, in units of 10 ms
    int32_t Retries = 1;
    KvSNMPDevice Device;
    KvSNMPScope Scope;
    KvSNMPSecurity Security;
    KvSNMPVarList VarList;
    AnsiString Filter;
    uint8_t Alive = 1;
    int32_t Outstanding = 0;
    int64_t Failures = 0;

    // Copies the global request defaults into this request.
    void LoadDefaults();

    // Synchronous read: true while a table row was read (false at the end of a walk and
    // for scalar lists); ok becomes false on a reported failure.
    bool Get(bool &ok, bool first);
    void GetAsync(KvSNMPCompletion closure, bool first);
    // Synchronous write of the settable items (or of those in indexList, taking their
    // values from the lines of values when given).
    bool Set(bool &ok, bool readBack, AnsiString indexList, const std::vector<AnsiString> *values);
    void SetAsync(KvSNMPCompletion closure, bool readBack, AnsiString indexList,
                  const std::vector<AnsiString> *values);

    bool MatchesFilter();
    bool MatchesCondition(AnsiString condition);
    int64_t FailureCount() const { return Failures; }

    // Virtual operations, in this order.
    // Replaces every item reference (marker and item index) by the item's value.
    virtual AnsiString ExpandExpression(AnsiString expression, bool quoteTexts, AnsiString marker);
    // Reads key item i's value from the front of a row index; returns the rest.
    virtual AnsiString IndexToValue(int i, AnsiString index);
    // Writes key item i's value as index sub-identifiers (dotted text).
    virtual void ValueToIndex(int i, AnsiString &index);
    // Stores the text of a response binding's value into item i.
    virtual void VbToValue(int i, const Vb &vb);
    // Gives a binding item i's value (its OID and syntax already set).
    virtual void ValueToVb(int i, Vb &vb);
    // Applies item index's get expression (afterRead) or set expression.
    virtual void EvaluateItem(int index, bool afterRead);
    // True for an empty condition, else the expanded condition's value.
    virtual bool IsConditionTrue(AnsiString condition);
    // Whether a get-next answer has left the column (or did not move past last, when last
    // is not empty). Identifiers compare sub-identifier by sub-identifier; an invalid column
    // or answer ends the column.
    virtual bool IsEndOfColumn(const Oid &column, const Oid &last, const Oid &answer);
    // The same on dotted texts (an invalid last counts as none).
    bool IsEndOfColumn(const AnsiString &column, const AnsiString &last, const AnsiString &answer);

    // IsEndOfColumn for a response binding: an endOfMibView answer always ends a table column.
    bool IsEndOfColumnAnswer(const AnsiString &column, const AnsiString &last, const Vb &answer);

    // Targets, PDUs and responses.
    void BuildTarget(UTarget &userTarget, CTarget &communityTarget, SnmpTarget *&target);
    void BuildPdu(int kind, Pdu &pdu);
    AnsiString BuildIndexedOid();
    void IndexToKeys(const AnsiString &rowIndex);

    // The engine's working state of this request (targets and identifiers in parsed form,
    // callbacks in flight).
    kvengine::RequestCache &EngineCache() { return *m_cache; }

private:
    std::unique_ptr<kvengine::RequestCache> m_cache;
};

// Global session and request defaults.
extern Snmp *gKvSNMPSession;
extern KvSNMPDevice gKvSNMPDefaultDevice;
extern KvSNMPScope gKvSNMPDefaultScope;
extern KvSNMPSecurity gKvSNMPDefaultSecurity;
extern int32_t gKvSNMPDefaultTimeout;
void KvSNMPDefaultsInit();
void KvSNMPDefaultsExit();
void KvSNMPCreateGlobalSession(AnsiString directory);
// Closes the global session's connections to agents that no request is waiting on (a program
// that has done with one agent, as each test with its own simulated device does).
void KvSNMPCloseIdleSessions();
