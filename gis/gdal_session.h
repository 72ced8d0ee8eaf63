#pragma once
// GDAL for one operation of the program: its drivers registered (once, for the whole program, at
// the first session) and its reports kept from standard error while the session lasts, so that
// the caller gives the user one message, with GDAL's last words as its reason.
#include <string>

namespace ombrix::gis {

class GdalSession {
 public:
  // Where GDAL keeps the temporary files it makes while it writes (the COG driver's overviews)
  // and the side files of the datasets it writes (.aux.xml): in memory, so that a kill leaves
  // none, or where GDAL would.
  enum class WorkFiles { GdalDefault, InMemory };

  explicit GdalSession(WorkFiles workFiles = WorkFiles::GdalDefault);
  ~GdalSession();
  GdalSession(const GdalSession&) = delete;
  GdalSession& operator=(const GdalSession&) = delete;

  // Whether GDAL reported a failure since the session began.
  bool failed() const noexcept;
  // GDAL's last error message, or nothing when it gave none.
  std::string reason() const;

 private:
  bool inMemory_;
};

}  // namespace ombrix::gis
