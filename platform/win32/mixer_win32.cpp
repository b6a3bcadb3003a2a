#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <mmsystem.h>

#include "platform/mixer.h"

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

unsigned MixerDeviceCount() { return mixerGetNumDevs(); }

bool MixerOpen(unsigned index, MixerHandle& handle) {
  HMIXER mixer = nullptr;
  // No notification window: the program never listens to line or control changes.
  if (mixerOpen(&mixer, index, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return false;
  handle = reinterpret_cast<MixerHandle>(mixer);
  return true;
}

void MixerClose(MixerHandle handle) { mixerClose(reinterpret_cast<HMIXER>(handle)); }

bool MixerGetCaps(unsigned index, MixerCaps& caps) {
  MIXERCAPSW native{};
  if (mixerGetDevCapsW(index, &native, sizeof native) != MMSYSERR_NOERROR) return false;
  caps.manufacturerId = native.wMid;
  caps.productId = native.wPid;
  caps.driverVersion = native.vDriverVersion;
  native.szPname[MAXPNAMELEN - 1] = L'\0';
  caps.productName = win32::Narrow(native.szPname);
  caps.destinations = native.cDestinations;
  return true;
}

bool MixerGetLine(MixerHandle handle, std::uint32_t destination, std::int32_t source, MixerLine& line) {
  MIXERLINEW native{};
  native.cbStruct = sizeof native;
  native.dwDestination = destination;
  native.dwSource = source < 0 ? 0 : static_cast<DWORD>(source);
  const DWORD which = source < 0 ? MIXER_GETLINEINFOF_DESTINATION : MIXER_GETLINEINFOF_SOURCE;
  if (mixerGetLineInfoW(Object(handle), &native, kByHandle | which) != MMSYSERR_NOERROR) return false;
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
  std::vector<MIXERCONTROLW> native(line.controls);
  MIXERLINECONTROLSW request{};
  request.cbStruct = sizeof request;
  request.dwLineID = line.lineId;
  request.cControls = line.controls;
  request.cbmxctrl = sizeof(MIXERCONTROLW);
  request.pamxctrl = native.data();
  if (native.empty() ||
      mixerGetLineControlsW(Object(handle), &request, kByHandle | MIXER_GETLINECONTROLSF_ALL) != MMSYSERR_NOERROR)
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
  MIXERCONTROLDETAILS details = Details(controlId, channels, items, values);
  return mixerGetControlDetailsW(Object(handle), &details, kByHandle | MIXER_GETCONTROLDETAILSF_VALUE) ==
         MMSYSERR_NOERROR;
}

bool MixerSetValues(MixerHandle handle, std::uint32_t controlId, std::uint32_t channels, std::uint32_t items,
                    const std::uint32_t* values) {
  MIXERCONTROLDETAILS details = Details(controlId, channels, items, const_cast<std::uint32_t*>(values));
  return mixerSetControlDetails(Object(handle), &details, kByHandle | MIXER_SETCONTROLDETAILSF_VALUE) ==
         MMSYSERR_NOERROR;
}

}  // namespace plat
