#include "gis/gdal_session.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal.h>

namespace ombrix::gis {

GdalSession::GdalSession(WorkFiles workFiles) : inMemory_(workFiles == WorkFiles::InMemory) {
  static const bool registered = [] {
    GDALAllRegister();
    return true;
  }();
  (void)registered;
  CPLPushErrorHandler(CPLQuietErrorHandler);
  CPLErrorReset();
  if (inMemory_) {
    CPLSetThreadLocalConfigOption("CPL_TMPDIR", "/vsimem");
    CPLSetThreadLocalConfigOption("GDAL_PAM_ENABLED", "NO");
  }
}

GdalSession::~GdalSession() {
  if (inMemory_) {
    CPLSetThreadLocalConfigOption("GDAL_PAM_ENABLED", nullptr);
    CPLSetThreadLocalConfigOption("CPL_TMPDIR", nullptr);
  }
  CPLPopErrorHandler();
}

bool GdalSession::failed() const noexcept { return CPLGetLastErrorType() >= CE_Failure; }

std::string GdalSession::reason() const { return CPLGetLastErrorMsg(); }

}  // namespace ombrix::gis
