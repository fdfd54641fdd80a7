#include "raw_sertype.hpp"

#include <dds/ddsi/ddsi_serdata.h>
#include <dds/ddsi/ddsi_sertype.h>
#include <dds/ddsi/q_radmin.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace ros2_standin
{

namespace
{

// One sample as it arrived: the CDR encapsulation header and the body, untouched.
class RawSerdata : public ddsi_serdata
{
public:
  RawSerdata(const ddsi_sertype * sertype, ddsi_serdata_kind serdata_kind) : ddsi_serdata{}
  {
    ddsi_serdata_init(this, sertype, serdata_kind);
  }

  // DDSI may read up to the next multiple of 4 past the end; that padding is kept zeroed.
  void resize(size_t size)
  {
    size_ = size;
    bytes_.assign((size + 3) & ~size_t{3}, 0);
  }

  size_t size() const { return size_; }
  unsigned char * data() { return bytes_.data(); }
  const unsigned char * data() const { return bytes_.data(); }

  void copy_out(size_t offset, size_t count, void * target) const
  {
    const size_t available = offset < bytes_.size() ? bytes_.size() - offset : 0;
    const size_t copied = std::min(count, available);
    if (copied > 0) {
      std::memcpy(target, bytes_.data() + offset, copied);
    }
    std::memset(static_cast<unsigned char *>(target) + copied, 0, count - copied);
  }

private:
  size_t size_ = 0;
  std::vector<unsigned char> bytes_;
};

const RawSerdata & raw(const ddsi_serdata * serdata)
{
  return *static_cast<const RawSerdata *>(serdata);
}

uint32_t serdata_size(const ddsi_serdata * serdata)
{
  // DDSI carries no sample of 4 GB or more.
  return static_cast<uint32_t>(raw(serdata).size());
}

void serdata_free(ddsi_serdata * serdata) { delete static_cast<RawSerdata *>(serdata); }

ddsi_serdata * serdata_from_ser(
  const ddsi_sertype * sertype, ddsi_serdata_kind kind, const nn_rdata * fragchain, size_t size)
{
  try {
    auto serdata = std::make_unique<RawSerdata>(sertype, kind);
    serdata->resize(size);
    // Fragments come in order of their offsets and may overlap: each one adds what lies beyond
    // the bytes collected so far.
    size_t collected = 0;
    for (const nn_rdata * fragment = fragchain; fragment != nullptr && collected < size;
         fragment = fragment->nextfrag) {
      const size_t begin = fragment->min;
      const size_t end = std::min<size_t>(fragment->maxp1, size);
      if (begin > collected) {
        return nullptr;  // a hole, which DDSI never hands over
      }
      if (end > collected) {
        const unsigned char * payload =
          NN_RMSG_PAYLOADOFF(fragment->rmsg, NN_RDATA_PAYLOAD_OFF(fragment));
        std::memcpy(serdata->data() + collected, payload + (collected - begin), end - collected);
        collected = end;
      }
    }
    return collected == size ? serdata.release() : nullptr;
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

ddsi_serdata * serdata_from_ser_iov(
  const ddsi_sertype * sertype, ddsi_serdata_kind kind, ddsrt_msg_iovlen_t niov,
  const ddsrt_iovec_t * iov, size_t size)
{
  // The path of samples written in this process with another sertype of the same topic.
  try {
    auto serdata = std::make_unique<RawSerdata>(sertype, kind);
    serdata->resize(size);
    size_t collected = 0;
    for (ddsrt_msg_iovlen_t i = 0; i < niov && collected < size; ++i) {
      const size_t count = std::min<size_t>(iov[i].iov_len, size - collected);
      std::memcpy(serdata->data() + collected, iov[i].iov_base, count);
      collected += count;
    }
    return collected == size ? serdata.release() : nullptr;
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

ddsi_serdata * serdata_from_keyhash(const ddsi_sertype * sertype, const ddsi_keyhash *)
{
  // Keyless: every key is the same empty one.
  try {
    return new RawSerdata(sertype, SDK_KEY);
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

ddsi_serdata * serdata_from_sample(const ddsi_sertype *, ddsi_serdata_kind, const void *)
{
  return nullptr;  // there is no application sample to write
}

ddsi_serdata * serdata_to_untyped(const ddsi_serdata * serdata)
{
  try {
    auto * untyped = new RawSerdata(serdata->type, SDK_KEY);
    // DDSI may keep an untyped key longer than the type lives.
    untyped->type = nullptr;
    return untyped;
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

void serdata_to_ser(const ddsi_serdata * serdata, size_t offset, size_t count, void * target)
{
  raw(serdata).copy_out(offset, count, target);
}

ddsi_serdata * serdata_to_ser_ref(
  const ddsi_serdata * serdata, size_t offset, size_t count, ddsrt_iovec_t * ref)
{
  ref->iov_base = const_cast<unsigned char *>(raw(serdata).data()) + offset;
  ref->iov_len = static_cast<ddsrt_iov_len_t>(count);
  return ddsi_serdata_ref(serdata);
}

void serdata_to_ser_unref(ddsi_serdata * serdata, const ddsrt_iovec_t *)
{
  ddsi_serdata_unref(serdata);
}

bool serdata_to_sample(const ddsi_serdata *, void *, void **, void *)
{
  return false;  // the bytes are only ever taken as they are, with dds_takecdr
}

bool serdata_untyped_to_sample(const ddsi_sertype *, const ddsi_serdata *, void *, void **, void *)
{
  return true;  // no key fields to fill in
}

bool serdata_eqkey(const ddsi_serdata *, const ddsi_serdata *)
{
  return true;  // keyless: all samples belong to the one instance
}

size_t serdata_print(const ddsi_sertype *, const ddsi_serdata * serdata, char * buffer, size_t size)
{
  const int length = std::snprintf(buffer, size, "(%zu serialized bytes)", raw(serdata).size());
  return length < 0 ? 0 : static_cast<size_t>(length);
}

void serdata_get_keyhash(const ddsi_serdata *, ddsi_keyhash * keyhash, bool)
{
  std::memset(keyhash, 0, sizeof(*keyhash));
}

const ddsi_serdata_ops & raw_serdata_ops()
{
  static const ddsi_serdata_ops ops = [] {
    // Shared memory (iceoryx) entries stay null: the stand-in never enables it.
    ddsi_serdata_ops o{};
    o.eqkey = serdata_eqkey;
    o.get_size = serdata_size;
    o.from_ser = serdata_from_ser;
    o.from_ser_iov = serdata_from_ser_iov;
    o.from_keyhash = serdata_from_keyhash;
    o.from_sample = serdata_from_sample;
    o.to_ser = serdata_to_ser;
    o.to_ser_ref = serdata_to_ser_ref;
    o.to_ser_unref = serdata_to_ser_unref;
    o.to_sample = serdata_to_sample;
    o.to_untyped = serdata_to_untyped;
    o.untyped_to_sample = serdata_untyped_to_sample;
    o.free = serdata_free;
    o.print = serdata_print;
    o.get_keyhash = serdata_get_keyhash;
    return o;
  }();
  return ops;
}

// Readers of this type are only ever taken with dds_takecdr, so no application sample exists.
// Cyclone's generic paths still get a well-formed one: a single byte that carries nothing.
constexpr size_t kPlaceholderSampleSize = 1;

void sertype_free(ddsi_sertype * sertype)
{
  ddsi_sertype_fini(sertype);
  delete sertype;
}

void sertype_zero_samples(const ddsi_sertype *, void * samples, size_t count)
{
  std::memset(samples, 0, count * kPlaceholderSampleSize);
}

void sertype_realloc_samples(
  void ** ptrs, const ddsi_sertype *, void * old, size_t old_count, size_t count)
{
  auto * samples = static_cast<unsigned char *>(dds_realloc(old, count * kPlaceholderSampleSize));
  if (count > old_count) {
    std::memset(
      samples + old_count * kPlaceholderSampleSize, 0,
      (count - old_count) * kPlaceholderSampleSize);
  }
  for (size_t i = 0; i < count; ++i) {
    ptrs[i] = samples + i * kPlaceholderSampleSize;
  }
}

void sertype_free_samples(const ddsi_sertype *, void ** ptrs, size_t count, dds_free_op_t op)
{
  if ((op & DDS_FREE_ALL_BIT) != 0 && count > 0) {
    dds_free(ptrs[0]);
  }
}

bool sertype_equal(const ddsi_sertype *, const ddsi_sertype *)
{
  // Cyclone compares name, flags and operations first; a raw type has nothing else.
  return true;
}

uint32_t sertype_hash(const ddsi_sertype *) { return 0; }

size_t sertype_get_serialized_size(const ddsi_sertype *, const void *)
{
  return SIZE_MAX;  // Cyclone's error value: there is no application sample to serialize
}

bool sertype_serialize_into(const ddsi_sertype *, const void *, void *, size_t) { return false; }

const ddsi_sertype_ops & raw_sertype_ops()
{
  static const ddsi_sertype_ops ops = [] {
    // No type information (as idlc -t): matching goes by type name, as with rmw_cyclonedds.
    ddsi_sertype_ops o{};
    o.version = ddsi_sertype_v0;
    o.arg = nullptr;
    o.free = sertype_free;
    o.zero_samples = sertype_zero_samples;
    o.realloc_samples = sertype_realloc_samples;
    o.free_samples = sertype_free_samples;
    o.equal = sertype_equal;
    o.hash = sertype_hash;
    o.get_serialized_size = sertype_get_serialized_size;
    o.serialize_into = sertype_serialize_into;
    return o;
  }();
  return ops;
}

}  // namespace

dds_entity_t create_raw_topic(
  dds_entity_t participant, const std::string & dds_name, const std::string & dds_type_name,
  const dds_qos_t * qos)
{
  ddsi_sertype * sertype = new (std::nothrow) ddsi_sertype{};
  if (sertype == nullptr) {
    return DDS_RETCODE_OUT_OF_RESOURCES;
  }
  ddsi_sertype_init_flags(
    sertype, dds_type_name.c_str(), &raw_sertype_ops(), &raw_serdata_ops(),
    DDSI_SERTYPE_FLAG_TOPICKIND_NO_KEY);
  sertype->allowed_data_representation = DDS_DATA_REPRESENTATION_FLAG_XCDR1;
  // Success hands the reference to the topic (which may swap in an equal sertype registered
  // earlier); after a failure it is still ours.
  const dds_entity_t topic =
    dds_create_topic_sertype(participant, dds_name.c_str(), &sertype, qos, nullptr, nullptr);
  if (topic < 0) {
    ddsi_sertype_unref(sertype);
  }
  return topic;
}

}  // namespace ros2_standin
