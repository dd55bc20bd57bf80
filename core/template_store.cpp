#include "core/template_store.h"

#include "core/pstream.h"
#include "core/stream_registry.h"

namespace {

// Templates kept only as far as a program without them can: no templates at all, and the
// identifier list as read, so that such a program saves the block unchanged.
class TNoTemplates final : public TTemplateStore {
 public:
  void Attach(TVorlaData&) override {}
  size_t TemplateCount() const override { return 0; }
  void ReplaceTemplateEnvelope(uint32_t, uint32_t) override {}
  const TIdList& TemplateIds() const override { return ids_; }
  void WriteTemplates(opstream& os) const override {
    os.WriteWord32(0);
    ids_.Write(os);
  }
  void ReadTemplates(ipstream& is) override {
    // Templates this program cannot hold would be lost by the next save; the file is refused.
    if (is.ReadWord() != 0) {
      is.SetState(pstream::kFailed);
      return;
    }
    ids_.Read(is);
  }

 private:
  TIdList ids_{10};
};

}  // namespace

std::unique_ptr<TTemplateStore> TTemplateStore::Make() {
  if (auto entry = TStreamClassRegistry::Find(kClassName, 1)) {
    std::unique_ptr<TStreamer> streamer = entry->builder(nullptr);
    std::unique_ptr<TStreamableBase> object(streamer->GetObject());
    if (auto* store = dynamic_cast<TTemplateStore*>(object.get())) {
      object.release();
      return std::unique_ptr<TTemplateStore>(store);
    }
  }
  return std::make_unique<TNoTemplates>();
}
