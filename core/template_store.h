#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/id_list.h"
#include "core/streamable.h"

class TVorlaData;
class ipstream;
class opstream;

/// The document's transaction templates as the document itself needs them: their stored block,
/// the count, and the envelope cascade. The template manager of the planning layer implements
/// it and registers itself under the name "TXTemplateManager"; the document makes its templates
/// through that registration, so the model's lowest layer never needs to know the manager's
/// type. A program without the planning layer gets a stand-in that holds no templates.
class TTemplateStore : public TStreamableBase {
 public:
  /// The registered name of the implementation.
  static constexpr const char* kClassName = "TXTemplateManager";

  /// The registered implementation, or the stand-in when the program has none.
  static std::unique_ptr<TTemplateStore> Make();

  /// Connects the templates to the document that owns them (after construction or reading).
  virtual void Attach(TVorlaData& document) = 0;
  virtual size_t TemplateCount() const = 0;
  /// Points every template item of `oldId` at `newId` (an envelope is being deleted).
  virtual void ReplaceTemplateEnvelope(uint32_t oldId, uint32_t newId) = 0;
  virtual const TIdList& TemplateIds() const = 0;
  /// The block inside the document record: word32 count, each template inline, then the
  /// identifier list.
  virtual void WriteTemplates(opstream& os) const = 0;
  /// Reads the block; a damaged one fails the stream.
  virtual void ReadTemplates(ipstream& is) = 0;
};
