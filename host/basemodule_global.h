#pragma once

#include <QtGlobal>

#if defined(BASEMODULE_LIBRARY)
#define BASEMODULE_EXPORT Q_DECL_EXPORT
#else
#define BASEMODULE_EXPORT Q_DECL_IMPORT
#endif
