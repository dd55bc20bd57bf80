#include "core/tree_window_layout.h"

#include "core/pstream.h"

void TTreeWindowLayout::Write(opstream& os) const {
  os.WriteWord32(kRecordVersion);
  os.WriteWord32(static_cast<uint32_t>(width));
  os.WriteWord32(static_cast<uint32_t>(height));
  os.WriteWord32(static_cast<uint32_t>(x));
  os.WriteWord32(static_cast<uint32_t>(y));
  os.WriteWord32(showState);
  os.WriteWord32(open ? 1 : 0);
}

void TTreeWindowLayout::Read(ipstream& is, bool withVersion) {
  if (withVersion)
    is.ReadWord();
  width = static_cast<int32_t>(is.ReadRaw32());
  height = static_cast<int32_t>(is.ReadRaw32());
  x = static_cast<int32_t>(is.ReadRaw32());
  y = static_cast<int32_t>(is.ReadRaw32());
  showState = is.ReadWord();
  open = is.ReadWord() != 0;
}
