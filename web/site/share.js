// A replay as the fragment of a link, and back: the replay file's text, deflated (raw DEFLATE, by
// the browser's CompressionStream) and written in base64url. A link comes from anyone, so the way
// back is bounded: a fragment too long or one that would inflate past maxInflated bytes is refused
// before more is inflated, and whatever goes wrong is one Error whose message is one line. The way
// there keeps the same bounds: no link is made that the way back would refuse.
// A plain script for the page, which node also loads for the fuzz loop.
(function (root) {
  'use strict';
  const maxInflated = 1 << 20;  // bytes of replay text a link may hold
  const maxFragment = 1 << 20;  // characters of base64url taken at all
  const alphabet = /^[A-Za-z0-9_-]*$/;

  function toBase64url(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(text).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  function fromBase64url(code) {
    if (code.length > maxFragment) throw new Error(`the link is longer than ${maxFragment} characters`);
    if (!alphabet.test(code) || code.length % 4 === 1) throw new Error('the link is not base64url');
    const text = atob(code.replace(/-/g, '+').replace(/_/g, '/') + '='.repeat((4 - code.length % 4) % 4));
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
    return bytes;
  }

  async function drain(stream, limit) {
    const reader = stream.getReader();
    const chunks = [];
    let total = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      total += value.length;
      if (total > limit) {
        await reader.cancel().catch(() => {});
        throw new Error(`the replay in the link inflates past ${limit} bytes`);
      }
      chunks.push(value);
    }
    const bytes = new Uint8Array(total);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  }

  /// The replay text as a fragment value (no '#replay='); throws an Error of one line for a replay
  /// too long for a link.
  async function pack(text) {
    const tooLong = new Error('this game is too long to share as a link: Download saves it as a file');
    const bytes = new TextEncoder().encode(text);
    if (bytes.length > maxInflated) throw tooLong;
    const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    const code = toBase64url(await drain(stream, Infinity));
    if (code.length > maxFragment) throw tooLong;
    return code;
  }

  /// The replay text of a fragment value; throws an Error of one line when it is none.
  async function unpack(code) {
    const packed = fromBase64url(code);
    if (packed.length === 0) throw new Error('the link holds no replay');
    let bytes;
    try {
      bytes = await drain(new Blob([packed]).stream().pipeThrough(new DecompressionStream('deflate-raw')), maxInflated);
    } catch (e) {
      if (e instanceof Error && e.message.startsWith('the replay in the link inflates')) throw e;
      throw new Error('the link does not hold a compressed replay');
    }
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch {
      throw new Error('the replay in the link is not text');
    }
  }

  /// The code after '#replay=' in a location's hash, or null when there is none.
  function codeOf(hash) {
    return hash.startsWith('#replay=') ? hash.slice('#replay='.length) : null;
  }

  root.FlipperShare = { pack, unpack, codeOf, maxInflated };
})(globalThis);
