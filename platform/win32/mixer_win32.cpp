#include "platform/mixer.h"
#include "platform/win32/sysdll.h"

namespace plat {
namespace {

HMIXEROBJ Object(MixerHandle handle) { return reinterpret_cast<HMIXEROBJ>(handle); }

// Handles are always passed as handles: with MIXER_OBJECTF_MIXER alone the value would be
// taken for a device index.
constexpr DWORD kByHandle = MIXER_OBJECTF_HMIXER;

MIXERCONTROLDETAILS Details(std::uint32_t controlId, std::uint32_t channels, std::uint32_t items, void* values) {
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = controlId;
  details.cChannels = channels;
  details.cMultipleItems = items;
  details.cbDetails = sizeof(DWORD);
  details.paDetails = values;
  return details;
}

}  // namespace

// Without the mixer's DLL there is no device, and nothing to open.
unsigned MixerDeviceCount() {
  const win32::WinmmFunctions* winmm = win32::Winmm();
  return winmm ? winmm->mixerGetNumDevs() : 0;
}

bool MixerOpen(unsigned index, MixerHandle& handle) {
  const win32::WinmmFunctions* winmm = win32::Winmm();
  HMIXER mixer = nullptr;
  // No notification window: the program never listens to line or control changes.
  if (!winmm || winmm->mixerOpen(&mixer, index, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return false;
  handle = reinterpret_cast<MixerHandle>(mixer);
  return true;
}

void MixerClose(MixerHandle handle) {
  if (const win32::WinmmFunctions* winmm = win32::Winmm()) winmm->mixerClose(reinterpret_cast<HMIXER>(handle));
}

bool MixerGetCaps(unsigned index, MixerCaps& caps) {
  const win32::WinmmFunctions* winmm = win32::Winmm();
  MIXERCAPSW native{};
  if (!winmm || winmm->mixerGetDevCapsW(index, &native, sizeof native) != MMSYSERR_NOERROR) return false;
  caps.manufacturerId = native.wMid;
  caps.productId = native.wPid;
  caps.driverVersion = native.vDriverVersion;
  native.szPname[MAXPNAMELEN - 1] = L'\0';
  caps.productName = win32::Narrow(native.szPname);
  caps.destinations = native.cDestinations;
  return true;
}

bool MixerGetLine(MixerHandle handle, std::uint32_t destination, std::int32_t source, MixerLine& line) {
  const win32::WinmmFunctions* winmm = win32::Winmm();
  if (!winmm) return false;
  MIXERLINEW native{};
  native.cbStruct = sizeof native;
  native.dwDestination = destination;
  native.dwSource = source < 0 ? 0 : static_cast<DWORD>(source);
  const DWORD which = source < 0 ? MIXER_GETLINEINFOF_DESTINATION : MIXER_GETLINEINFOF_SOURCE;
  if (winmm->mixerGetLineInfoW(Object(handle), &native, kByHandle | which) != MMSYSERR_NOERROR) return false;
  line.destination = destination;
  line.source = source < 0 ? -1 : source;
  line.lineId = native.dwLineID;
  line.channels = native.cChannels;
  line.connections = native.cConnections;
  line.controls = native.cControls;
  native.szName[MIXER_LONG_NAME_CHARS - 1] = L'\0';
  line.name = win32::Narrow(native.szName);
  return true;
}

bool MixerGetControls(MixerHandle handle, const MixerLine& line, std::vector<MixerControl>& controls) {
  const win32::WinmmFunctions* winmm = win32::Winmm();
  if (!winmm) return false;
  std::vector<MIXERCONTROLW> native(line.controls);
  MIXERLINECONTROLSW request{};
  request.cbStruct = sizeof request;
  request.dwLineID = line.lineId;
  request.cControls = line.controls;
  request.cbmxctrl = sizeof(MIXERCONTROLW);
  request.pamxctrl = native.data();
  if (native.empty() ||
      winmm->mixerGetLineControlsW(Object(handle), &request, kByHandle | MIXER_GETLINECONTROLSF_ALL) != MMSYSERR_NOERROR)
    return false;
  controls.resize(native.size());
  for (std::size_t i = 0; i < native.size(); ++i) {
    const MIXERCONTROLW& c = native[i];
    controls[i] = {c.dwControlID,    c.dwControlType,    c.fdwControl,
                   c.cMultipleItems, c.Bounds.dwMinimum, c.Bounds.dwMaximum};
  }
  return true;
}

bool MixerGetValues(MixerHandle handle, std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                    std::uint32_t* values) {
  const win32::WinmmFunctions* winmm = win32::Winmm();
  MIXERCONTROLDETAILS details = Details(controlId, channels, items, values);
  return winmm && winmm->mixerGetControlDetailsW(Object(handle), &details, kByHandle | MIXER_GETCONTROLDETAILSF_VALUE) ==
         MMSYSERR_NOERROR;
}

bool MixerSetValues(MixerHandle handle, std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                    const std::uint32_t* values) {
  const win32::WinmmFunctions* winmm = win32::Winmm();
  MIXERCONTROLDETAILS details = Details(controlId, channels, items, const_cast<std::uint32_t*>(values));
  return winmm && winmm->mixerSetControlDetails(Object(handle), &details, kByHandle | MIXER_SETCONTROLDETAILSF_VALUE) ==
         MMSYSERR_NOERROR;
}

}  // namespace plat
