// The load elsetry-tle check does, done with satellite.js 5 so that bench-load can compare the
// two: read an element file, set up the orbit model of every set, propagate each to its own
// epoch and keep one entry per name and per catalogue number, the latest epoch winning.
'use strict';
const fs = require('fs');
const satellite = require('satellite.js');

const lines = fs.readFileSync(process.argv[2], 'latin1').split(/\r?\n/).filter((l) => l.trim() !== '');
const byName = new Map();
const byNumber = new Map();
for (let i = 0; i + 2 < lines.length; i += 3) {
  const name = lines[i].slice(0, 24).trim().toUpperCase();
  const satrec = satellite.twoline2satrec(lines[i + 1], lines[i + 2]);
  satellite.sgp4(satrec, 0);
  const entry = { name, number: satrec.satnum, epoch: satrec.jdsatepoch, satrec };
  const known = byNumber.get(entry.number) || byName.get(name);
  if (known && entry.epoch <= known.epoch) continue;
  for (const old of [known, byName.get(name)]) {
    if (old) {
      byName.delete(old.name);
      byNumber.delete(old.number);
    }
  }
  byName.set(name, entry);
  byNumber.set(entry.number, entry);
}
console.log(`${byName.size} satellites`);
