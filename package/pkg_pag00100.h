// Pkg_Pag00100: the module as the host loads it (libpag00100pkg.so). The
// host gives the module its services once, with Initialize, and its menu
// calls IniProc, which builds the one remittance screen and shows it.
//
//   void* pkg = dlopen("libpag00100pkg.so", RTLD_NOW | RTLD_LOCAL);
//   auto init = reinterpret_cast<PagInitializeProc>(dlsym(pkg, "Initialize"));
//   PagHostServices services{PAG_HOST_SERVICES_VERSION, &session, &dialogs, &net, &localdb, nullptr, nullptr};
//   init(&services);
//   reinterpret_cast<PagProc>(dlsym(pkg, "IniProc"))();   // the screen, once
//   ...
//   reinterpret_cast<PagProc>(dlsym(pkg, "Finalize"))();
//   dlclose(pkg);
//
// The entries are plain C symbols so the host finds them by name; they are
// called from C++ and let C++ exceptions through to the host: an exception
// raised while the screen is built reaches the caller of IniProc, and the
// next call tries again.
#pragma once

namespace pag {
class Session;
class Dialogs;
class TNetConnection;
class LocalDatabase;
class TfrmRemessaCNAB;
}  // namespace pag

#if defined(__GNUC__)
#define PAG_EXPORT __attribute__((visibility("default")))
#else
#define PAG_EXPORT
#endif

extern "C" {

#define PAG_HOST_SERVICES_VERSION 1u

// What the host lends the module for as long as it is loaded (between
// Initialize and Finalize). The host owns every object; the module never
// frees them.
struct PagHostServices {
  unsigned version;              // PAG_HOST_SERVICES_VERSION
  pag::Session* session;         // EmprProc, FiliProc, DataProc, Operador, the clock
  pag::Dialogs* dialogs;         // messages, questions, list picks, files, progress
  pag::TNetConnection* net;      // netRemessaCNAB: the application server
  pag::LocalDatabase* localdb;   // the host's local queries
  // Called each time the screen is shown (a view binds to it); may be null.
  void (*show_screen)(pag::TfrmRemessaCNAB* screen, void* context);
  void* context;                 // given back to show_screen
};

// The module's descriptor.
struct PagPackageInfo {
  const char* name;
  const char* const* units;
  int unit_count;
  const char* const* required_packages;
  int required_count;
};

// Load hook: every unit's start-up, with the host's services. Calling it
// again with other services replaces them (the screen must be closed).
PAG_EXPORT void Initialize(const PagHostServices* services);
// Unload hook: closes the screen if it is open and runs every unit's
// shutdown in reverse order.
PAG_EXPORT void Finalize(void);
// The host menu's entry: CriaRemessaCNAB.
PAG_EXPORT void IniProc(void);
// Builds the remittance screen unless it exists, then brings it back to its
// normal size and shows it.
PAG_EXPORT void CriaRemessaCNAB(void);
// Runs a filter dialog of the open screen in a mode ("BOTAO_FILTRO",
// "ESCONDE_FILTRO"); 1 when its criteria were confirmed.
PAG_EXPORT int CriaFiltroRemessaCNAB(const char* mode);
PAG_EXPORT int CriaFiltroBoletoCNAB(const char* mode);
PAG_EXPORT const PagPackageInfo* GetPackageInfoTable(void);

// For hosts without windows: whether the screen exists (boIdCriado), the
// window's close button, and one line that describes the screen.
PAG_EXPORT int RemessaCNABCriada(void);
PAG_EXPORT void FechaRemessaCNAB(void);
PAG_EXPORT const char* EstadoRemessaCNAB(void);

typedef void (*PagProc)(void);
typedef void (*PagInitializeProc)(const PagHostServices*);
typedef int (*PagFilterProc)(const char*);
typedef int (*PagIntProc)(void);
typedef const char* (*PagTextProc)(void);
typedef const PagPackageInfo* (*PagInfoProc)(void);

}  // extern "C"
