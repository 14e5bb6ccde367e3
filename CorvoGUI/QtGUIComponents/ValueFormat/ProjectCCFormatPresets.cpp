#include "CorvoGUI/QtGUIComponents/ValueFormat/cProjectCCFormat.h"

namespace nProjectCCFormats
{
const cProjectCCFormat DELAY_TIME_MS_96K(cProjectCCFormat::DELAY_TIME_MS_96K,
                                         cKVCCFormat::TWO_DECIMAL_PLACES);
const cProjectCCFormat DELAY_DISTANCE_FT_96K(cProjectCCFormat::DELAY_DISTANCE_FT_96K,
                                             cKVCCFormat::TWO_DECIMAL_PLACES);
const cProjectCCFormat DELAY_DISTANCE_M_96K(cProjectCCFormat::DELAY_DISTANCE_M_96K,
                                            cKVCCFormat::TWO_DECIMAL_PLACES);
const cProjectCCFormat DB_PER_FRAME_TO_MS_PER_10DB(cProjectCCFormat::DB_PER_FRAME_TO_MS_PER_10DB,
                                                   cKVCCFormat::TWO_DECIMAL_PLACES);
} // namespace nProjectCCFormats
