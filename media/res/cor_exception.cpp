#include "media/res/cor_exception.h"

IMPLEMENT_DYNAMIC(CCorExceptionBase, CObject)
IMPLEMENT_DYNAMIC(CCorExceptionExit, CCorExceptionBase)
