#include "KVNet/Core/KVNetMethods.h"

const char* KVNetMethodName(UWORD method)
{
    static const char* const names[] = {
        "M_INVALID_MESSAGE",
        "M_REG_TICK",
        "M_REPLY_OK",
        "M_REPLY_FAIL",
        "M_REG_FIND_OBJECT",
        "M_TEST_PRINT_REGISTRY",
        "M_OBJECT_ADD_TO_INFORM_LIST",
        "M_OBJECT_REMOVE_FROM_INFORM_LIST",
        "M_OBJECT_ADD_TO_DELETE_LIST",
        "M_OBJECT_DELETED",
        "M_ALL_SET_CURRENT_STORE",
        "M_ALL_GET_CURRENT_STORE",
        "M_ALL_COPY_DEFAULT_TO_CURRENT_STORE",
        "M_OBJECT_REMOVE_FROM_DELETE_LIST",
        "M_ALL_SET_CURRENT_STORE_IF_NOT_SAFED",
        "M_ALL_ABSOLUTE_UPDATE_CURRENT_STORE",
        "M_REG_TOCK",
        "M_TEST_PRINT_MESS_POOLS",
        "M_CURRENT_STORE_TRACKING_CHANGES",
        "M_ALL_RELATIVE_UPDATE_CURRENT_STORE",
        "M_ALL_SET_CURRENT_STORE_EXTRACT_FILTERS",
        "M_ALL_GET_CURRENT_STORE_WITH_FILTERS",
        "M_REG_DO_WORK",
    };
    static_assert(sizeof names / sizeof names[0] == M_LAST_FRAMEWORK_METHOD + 1, "one name per method");
    return method <= M_LAST_FRAMEWORK_METHOD ? names[method] : nullptr;
}
