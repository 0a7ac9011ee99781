// The runtime's general utilities: the exception family, strings in code page 1251 with 1-based
// helpers and explicit Cyrillic case tables, conversions, files and paths, the command line, the
// clock and the program's folder.
#pragma once

#include "System.h"

// Exception family (message texts as the framework gives them where the system quotes them).
VCL_EXCEPTION(EAbort, Exception)
VCL_EXCEPTION(EConvertError, Exception)
VCL_EXCEPTION(EInOutError, Exception)
VCL_EXCEPTION(EOutOfResources, Exception)
VCL_EXCEPTION(EInvalidOperation, Exception)
VCL_EXCEPTION(EInvalidPointer, Exception)
VCL_EXCEPTION(EOSError, Exception)
VCL_EXCEPTION(EListError, Exception)
VCL_EXCEPTION(EStringListError, Exception)
VCL_EXCEPTION(EStreamError, Exception)
VCL_EXCEPTION(EFCreateError, EStreamError)
VCL_EXCEPTION(EFOpenError, EStreamError)
VCL_EXCEPTION(EFilerError, EStreamError)
VCL_EXCEPTION(EReadError, EFilerError)
VCL_EXCEPTION(EWriteError, EFilerError)
VCL_EXCEPTION(EClassNotFound, EFilerError)
VCL_EXCEPTION(EIniFileException, Exception)
VCL_EXCEPTION(EComponentError, Exception)
VCL_EXCEPTION(EOleError, Exception)
VCL_EXCEPTION(EInvalidGraphic, Exception)
VCL_EXCEPTION(EInvalidGraphicOperation, Exception)
VCL_EXCEPTION(EMenuError, Exception)

// (The string, file and path routines follow below.)
