#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Method numbers carried in cKVNetMessage::mMethod.
//   0 to 22      framework methods (below)
//   23 to 255    unassigned
//   256 to 4095  object-specific methods, NON_PARAMETER_BASE + n
//   4096 and up  parameter methods, PARAMETER_BASE + parameter index; the payload is the value
enum eKVNetMethod : UWORD
{
    M_INVALID_MESSAGE = 0,
    M_REG_TICK = 1,
    M_REPLY_OK = 2,
    M_REPLY_FAIL = 3,
    M_REG_FIND_OBJECT = 4,
    M_TEST_PRINT_REGISTRY = 5,
    M_OBJECT_ADD_TO_INFORM_LIST = 6,
    M_OBJECT_REMOVE_FROM_INFORM_LIST = 7,
    M_OBJECT_ADD_TO_DELETE_LIST = 8,
    M_OBJECT_DELETED = 9,
    M_ALL_SET_CURRENT_STORE = 10,
    M_ALL_GET_CURRENT_STORE = 11,
    M_ALL_COPY_DEFAULT_TO_CURRENT_STORE = 12,
    M_OBJECT_REMOVE_FROM_DELETE_LIST = 13,
    M_ALL_SET_CURRENT_STORE_IF_NOT_SAFED = 14,
    M_ALL_ABSOLUTE_UPDATE_CURRENT_STORE = 15,
    M_REG_TOCK = 16,
    M_TEST_PRINT_MESS_POOLS = 17,
    M_CURRENT_STORE_TRACKING_CHANGES = 18,
    M_ALL_RELATIVE_UPDATE_CURRENT_STORE = 19,
    M_ALL_SET_CURRENT_STORE_EXTRACT_FILTERS = 20,
    M_ALL_GET_CURRENT_STORE_WITH_FILTERS = 21,
    M_REG_DO_WORK = 22,
    M_LAST_FRAMEWORK_METHOD = M_REG_DO_WORK,
};

constexpr UWORD NON_PARAMETER_BASE = 256;
constexpr UWORD PARAMETER_BASE = 4096;
// 4096 + index must fit in 16 bits.
constexpr KV_NET_DATA_SCALE MAX_NUMBER_OF_PARAMETERS = 0xEFFF;

// "M_REG_TICK" and so on for the framework methods 0 to 22; null for every other method.
const char* KVNetMethodName(UWORD method);
