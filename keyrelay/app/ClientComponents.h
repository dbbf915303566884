// The pieces the run flow drives: the own-image check (crypto), the client's
// interfaces and wrappers, and the text conversions.
#pragma once

#include "ClientInterfaces.h"
#include "Conversions.h"
#include "ImageVerifier.h"
#include "ImageFile.h"
#include "RecordHistory.h"
#include "ULogClient.h"
#include "URelMgrWrapper.h"
