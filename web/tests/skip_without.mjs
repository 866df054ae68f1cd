// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a command, or skips (77, as ctest is told) when a file it needs is
// missing:  node skip_without.mjs FILE... -- COMMAND ARG...
import { spawnSync } from 'node:child_process';
import { existsSync } from 'node:fs';

const args = process.argv.slice(2);
const split = args.indexOf('--');
const missing = args.slice(0, split).filter((path) => !existsSync(path));
if (missing.length > 0) {
    console.log(`skipped: missing ${missing.join(', ')}`);
    process.exit(77);
}
const [command, ...rest] = args.slice(split + 1);
const run = spawnSync(command, rest, { stdio: 'inherit' });
process.exit(run.status ?? 1);
