// Writes a .zip archive of stored (uncompressed) entries, so that the page
// can hand over all the files of a run in one download without a
// compression library: local headers with each file's CRC-32, the central
// directory, and its end record. Names are UTF-8 (flag bit 11). Loaded by
// the page, where it sets window.mirelonZip, and by node (the tests).
(function (root) {
  'use strict';

  const CRC_TABLE = new Uint32Array(256);
  for (let n = 0; n < 256; ++n) {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    CRC_TABLE[n] = c >>> 0;
  }

  // The CRC-32 of the bytes, as zip, gzip and PNG use it.
  function crc32(bytes) {
    let c = 0xffffffff;
    for (let i = 0; i < bytes.length; ++i) c = CRC_TABLE[(c ^ bytes[i]) & 255] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
  }

  // MS-DOS time and date of a moment, read in UTC (so that an archive made
  // with the same SOURCE_DATE_EPOCH is the same everywhere); zip cannot hold
  // moments before 1980, which become 1980-01-01.
  function dosTime(date) {
    if (date.getUTCFullYear() < 1980) return { time: 0, day: (1 << 5) | 1 };
    return {
      time: (date.getUTCHours() << 11) | (date.getUTCMinutes() << 5) | (date.getUTCSeconds() >> 1),
      day: ((date.getUTCFullYear() - 1980) << 9) | ((date.getUTCMonth() + 1) << 5) | date.getUTCDate(),
    };
  }

  const MAX_ENTRIES = 0xffff;
  const MAX_SIZE = 0xffffffff;

  // entries: [{name, bytes: Uint8Array}] in archive order; date: the
  // modification time of every entry. Returns the archive's bytes; throws
  // where the archive would need the zip64 extension (over 65535 entries or
  // 4 GiB), which the page never writes.
  function makeZip(entries, date) {
    if (entries.length > MAX_ENTRIES) throw new Error('a zip without zip64 holds at most 65535 files');
    const { time, day } = dosTime(date);
    const encoder = new TextEncoder();
    const locals = [];
    const centrals = [];
    let offset = 0;
    for (const entry of entries) {
      const name = encoder.encode(entry.name);
      const data = entry.bytes;
      const crc = crc32(data);
      const local = new DataView(new ArrayBuffer(30));
      local.setUint32(0, 0x04034b50, true);
      local.setUint16(4, 20, true); // version needed: 2.0
      local.setUint16(6, 0x0800, true); // the name is UTF-8
      local.setUint16(8, 0, true); // stored
      local.setUint16(10, time, true);
      local.setUint16(12, day, true);
      local.setUint32(14, crc, true);
      local.setUint32(18, data.length, true);
      local.setUint32(22, data.length, true);
      local.setUint16(26, name.length, true);
      local.setUint16(28, 0, true);
      const central = new DataView(new ArrayBuffer(46));
      central.setUint32(0, 0x02014b50, true);
      central.setUint16(4, 0x0314, true); // made by Unix, 2.0: the attributes below are Unix modes
      for (let i = 6; i < 30; ++i) central.setUint8(i, local.getUint8(i - 2));
      central.setUint32(38, (0o100644 << 16) >>> 0, true); // a regular file, rw-r--r--
      central.setUint32(42, offset, true);
      locals.push(new Uint8Array(local.buffer), name, data);
      centrals.push(new Uint8Array(central.buffer), name);
      offset += 30 + name.length + data.length;
      if (offset > MAX_SIZE) throw new Error('a zip without zip64 holds at most 4 GiB');
    }
    const centralSize = centrals.reduce((sum, piece) => sum + piece.length, 0);
    const end = new DataView(new ArrayBuffer(22));
    end.setUint32(0, 0x06054b50, true);
    end.setUint16(8, entries.length, true);
    end.setUint16(10, entries.length, true);
    end.setUint32(12, centralSize, true);
    end.setUint32(16, offset, true);
    const pieces = [...locals, ...centrals, new Uint8Array(end.buffer)];
    const out = new Uint8Array(offset + centralSize + 22);
    let at = 0;
    for (const piece of pieces) {
      out.set(piece, at);
      at += piece.length;
    }
    return out;
  }

  const api = { crc32, makeZip };
  if (typeof module === 'object' && module.exports) module.exports = api;
  else root.mirelonZip = api;
})(typeof globalThis !== 'undefined' ? globalThis : this);
