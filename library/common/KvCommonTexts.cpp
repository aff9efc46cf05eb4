#include "KvCommonTexts.h"

#include "Exception.h"

std::array<AnsiString, KvCommonTextCount> gKvCommonTexts = {
    "(KvCommon) Ok!",
    "(KvCommon) Bad logic operand!",
    "(KvCommon) Bad format specifier of edit's constraint!",
    "(KvCommon) Empty value is not allowed!",
    "(KvCommon) Please enter a string whose length is less than [MAXLEN]!",
    "(KvCommon) Please enter a string whose length is [LEN]!",
    "(KvCommon) Please enter a hex string whose length is less than [MAXLEN]!",
    "(KvCommon) Please enter a hex string whose length is [LEN]!",
    "(KvCommon) Please enter a number between [MIN] and [MAX]!",
    "(KvCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\nHere,the count of the "
    "number is less than [MAXCOUNT]!",
    "(KvCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\nHere,the count of the "
    "number is equal to [COUNT]!",
    "(KvCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\nHere,each number is "
    "between [MIN] and [MAX]!",
    "(KvCommon) Out of range at index of array or list!",
    "(KvCommon) Destination buffer is undersize!",
    "(KvCommon) The source to dncrypt is not encrypted!",
    "(KvCommon) Fail to read data from file([FILENAME])!",
    "(KvCommon) Fail to write data to file([FILENAME])!",
    "(KvCommon) Fail to write value in ini file([FILENAME])!",
    "(KvCommon) Fail to read option data from file([FILENAME])!",
};

AnsiString KvCommonText(int code)
{
    if (code > 0 || -code >= KvCommonTextCount)
        return {};
    return gKvCommonTexts[static_cast<std::size_t>(-code)];
}

void KvCommonRaise(int code)
{
    throw Exception(KvCommonText(code), code);
}
