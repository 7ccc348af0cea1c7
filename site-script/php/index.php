<?php
// Pagequill site script for PHP hosting. Upload as /pagequill/index.php; the settings live in
// pagequill-config.php outside the served folder (see the template beside this file).
declare(strict_types=1);

// Where the configuration is: '' means the folder above the site root, i.e. the folder that
// holds the site's own folder (the one with pagequill/ in it). Set a full path to override.
const PQ_CONFIG_FILE = '';

const PQ_VERSION = '1';

ini_set('display_errors', '0');
header('Content-Type: text/html');
header('Cache-Control: no-store');

// Set-up refusals are answered with 200 too: many hosts replace the text of an error reply
// with their own page, and the message is what the designer needs to see.
function pq_reply(string $text, int $status = 200): void {
    http_response_code($status);
    echo '@@' . $text . '@@';
    exit;
}

function pq_log(string $what): void {
    error_log('pagequill: ' . ($_SERVER['REMOTE_ADDR'] ?? '?') . ': ' . $what);
}

// ---- configuration ----------------------------------------------------------------------

function pq_inside(string $path, string $folder): bool {
    $folder = rtrim($folder, '/');
    return $path === $folder || strncmp($path, $folder . '/', strlen($folder) + 1) === 0;
}

function pq_load_config(string $siteRoot): array {
    clearstatcache(true);  // a long-lived worker must see links and modes as they are now
    $file = PQ_CONFIG_FILE !== '' ? PQ_CONFIG_FILE : dirname($siteRoot) . '/pagequill-config.php';
    $real = realpath($file);
    if ($real === false || !is_file($real)) {
        pq_reply('The site script is not set up: no configuration file pagequill-config.php');
    }
    $docRootName = (string)($_SERVER['DOCUMENT_ROOT'] ?? '');
    $docRoot = ($docRootName !== '' ? realpath($docRootName) : false) ?: $siteRoot;
    if (pq_inside($real, $siteRoot) || pq_inside($real, $docRoot)) {
        pq_reply('The site script refuses to run: its configuration file lies inside the website, where anyone could download it');
    }
    $perms = @fileperms($real);
    if ($perms === false || ($perms & 0006) !== 0) {
        pq_reply('The site script refuses to run: its configuration file can be read or changed by every user of the server (make it readable by its owner only, e.g. chmod 600)');
    }
    try {
        $c = include $real;
    } catch (Throwable $e) {
        pq_reply('The site script is not set up: the configuration file has an error on line ' . $e->getLine());
    }
    if (!is_array($c)) pq_reply('The site script is not set up: the configuration file does not return an array');
    $c += [
        'flags' => 'YNY',
        'backup_dir' => '',
        'state_dir' => '',
        'email_to' => '',
        'email_from' => '',
        'mail_interval' => 60,
        'key_lifetime' => 600,
        'keys_per_issue' => 200,
        'max_body' => 16 * 1024 * 1024,
        'slow_after' => 3,
        'lockout_after' => 10,
        'lockout_seconds' => 900,
        'site_slow_after' => 20,
        'site_max_delay' => 60,
        'revisions' => 20,
    ];
    if (!is_string($c['password'] ?? null) || $c['password'] === '') {
        pq_reply('The site script is not set up: no password in the configuration file');
    }
    if (!is_string($c['flags']) || !preg_match('/^[YN]{3}\z/', $c['flags'])) {
        pq_reply('The site script is not set up: flags must be three letters Y or N, e.g. YNY');
    }
    if (!is_string($c['backup_dir']) || $c['backup_dir'] === '') {
        pq_reply('The site script is not set up: no backup_dir in the configuration file');
    }
    // By default beside the configuration, so the backup folder holds nothing but backups.
    if ($c['state_dir'] === '') $c['state_dir'] = dirname($real) . '/pagequill-state';
    foreach (['backup_dir', 'state_dir'] as $key) {
        $dir = $c[$key];
        if (!is_dir($dir) && !@mkdir($dir, 0700, true)) {
            pq_reply("The site script cannot create its folder $key");
        }
        $realDir = realpath($dir);
        if ($realDir === false || pq_inside($realDir, $siteRoot) || pq_inside($realDir, $docRoot)) {
            pq_reply("The site script refuses to run: $key lies inside the website");
        }
        $c[$key] = $realDir;
    }
    foreach (['mail_interval', 'key_lifetime', 'keys_per_issue', 'max_body', 'slow_after',
              'lockout_after', 'lockout_seconds', 'site_slow_after', 'site_max_delay', 'revisions'] as $key) {
        $c[$key] = max(1, (int)$c[$key]);
    }
    $c['keys_per_issue'] = min($c['keys_per_issue'], 1000);
    return $c;
}

// ---- shared state: pass keys, wrong passwords, last mail; one file under flock ------------

final class PqState {
    private $fp;
    public array $data;

    public function __construct(string $dir) {
        $this->fp = @fopen($dir . '/state.json', 'c+');
        if ($this->fp === false || !flock($this->fp, LOCK_EX)) {
            pq_reply('The site script cannot open its state file');
        }
        $text = stream_get_contents($this->fp);
        $data = $text === '' || $text === false ? [] : json_decode($text, true);
        $this->data = (is_array($data) ? $data : []) + ['keys' => [], 'wrong' => [], 'mail' => 0];
    }

    public function save(): void {
        $text = json_encode($this->data);
        ftruncate($this->fp, 0);
        rewind($this->fp);
        fwrite($this->fp, $text);
        fflush($this->fp);
    }

    public function __destruct() {
        if ($this->fp) {
            flock($this->fp, LOCK_UN);
            fclose($this->fp);
        }
    }
}

const PQ_KEYS_PER_ADDRESS = 4;
const PQ_LIVE_ISSUES = 256;

function pq_issue_key(array $c, string $address): string {
    $state = new PqState($c['state_dir']);
    $now = time();
    $keys = array_values(array_filter($state->data['keys'], fn($k) => $k['expires'] > $now));
    // An address holds a few issues; it can only push out its own, never the owner's.
    $mine = array_keys(array_filter($keys, fn($k) => $k['addr'] === $address));
    while (count($mine) >= PQ_KEYS_PER_ADDRESS) {
        unset($keys[array_shift($mine)]);
    }
    $keys = array_values($keys);
    if (count($keys) >= PQ_LIVE_ISSUES) {
        return 'Too many pass keys were asked for - please try again in a few minutes';
    }
    $n = $c['keys_per_issue'];
    $base = 0;
    for ($attempt = 0; $attempt < 64; ++$attempt) {
        $base = random_int(-32768, 32767 - $n);
        $overlap = false;
        foreach ($keys as $k) {
            if ($base < $k['base'] + $n && $k['base'] < $base + $n) { $overlap = true; break; }
        }
        if (!$overlap) break;
    }
    if ($overlap) return 'Too many pass keys were asked for - please try again in a few minutes';
    $keys[] = ['base' => $base, 'expires' => $now + $c['key_lifetime'], 'addr' => $address, 'used' => []];
    $state->data['keys'] = $keys;
    $state->save();
    return (string)$base;
}

// Marks a key used; false when it was never issued, has expired or was used before.
function pq_redeem_key(PqState $state, array $c, string $text): bool {
    if (!preg_match('/^-?[0-9]{1,5}\z/', $text) || $text === '-0' ||
        (strlen(ltrim($text, '-')) > 1 && ltrim($text, '-')[0] === '0')) {
        return false;
    }
    $key = (int)$text;
    $now = time();
    foreach ($state->data['keys'] as $i => $k) {
        if ($k['expires'] <= $now) continue;
        $offset = $key - $k['base'] - 1;
        if ($offset < 0 || $offset >= $c['keys_per_issue']) continue;
        if (in_array($offset, $k['used'], true)) return false;
        $state->data['keys'][$i]['used'][] = $offset;
        return true;
    }
    return false;
}

// ---- the password proof -------------------------------------------------------------------

// The bytes the program hashes: the low byte of each UTF-16 code unit of the text.
function pq_protocol_bytes(string $utf8): string {
    $out = '';
    $n = strlen($utf8);
    for ($i = 0; $i < $n;) {
        $b0 = ord($utf8[$i]);
        $len = 0; $cp = 0;
        if ($b0 < 0x80) { $out .= chr($b0); ++$i; continue; }
        if ($b0 >= 0xC2 && $b0 <= 0xDF) { $len = 2; $cp = $b0 & 0x1F; }
        elseif ($b0 >= 0xE0 && $b0 <= 0xEF) { $len = 3; $cp = $b0 & 0x0F; }
        elseif ($b0 >= 0xF0 && $b0 <= 0xF4) { $len = 4; $cp = $b0 & 0x07; }
        $ok = $len > 0;
        for ($j = 1; $ok && $j < $len; ++$j) {
            if ($i + $j >= $n || (ord($utf8[$i + $j]) & 0xC0) !== 0x80) { $ok = false; break; }
            $cp = ($cp << 6) | (ord($utf8[$i + $j]) & 0x3F);
        }
        if ($ok && (($len === 3 && $cp < 0x800) || ($len === 4 && ($cp < 0x10000 || $cp > 0x10FFFF)) ||
                    ($cp >= 0xD800 && $cp <= 0xDFFF))) {
            $ok = false;
        }
        if (!$ok) { $out .= chr($b0); ++$i; continue; }
        $i += $len;
        if ($cp < 0x10000) {
            $out .= chr($cp & 0xFF);
        } else {
            $v = $cp - 0x10000;
            $out .= chr((0xD800 + ($v >> 10)) & 0xFF) . chr((0xDC00 + ($v & 0x3FF)) & 0xFF);
        }
    }
    return $out;
}

// Checks throttling, the pass key and the hash; replies with the refusal, or returns.
function pq_authenticate(array $c, string $passkey, string $hash, string $address): void {
    $state = new PqState($c['state_dir']);
    $now = microtime(true);
    // Site-wide first: guesses from many addresses are slowed down together.
    $site = $state->data['site'] ?? ['count' => 0, 'next' => 0.0, 'last' => 0.0];
    if ($now - $site['last'] > 3600) $site['count'] = 0;
    if ($now < $site['next']) {
        unset($state);
        pq_reply('Too many wrong passwords on this site - please wait a moment and try again');
    }
    $w = $state->data['wrong'][$address] ?? null;
    if ($w !== null && $now < $w['next']) {
        unset($state);
        pq_reply($w['count'] >= $c['lockout_after']
            ? 'Too many wrong passwords - publishing is blocked for a while'
            : 'Too many wrong passwords - please wait a moment and try again');
    }
    if (!pq_redeem_key($state, $c, $passkey)) {
        $state->save();
        unset($state);
        pq_log('refused: pass key not valid');
        pq_reply('Pass key not valid');
    }
    $expected = md5(pq_protocol_bytes($c['password']) . $passkey);
    if (!hash_equals($expected, strtolower($hash))) {
        $w = $w ?? ['count' => 0, 'next' => 0.0];
        if ($w['count'] >= $c['lockout_after']) $w['count'] = 0;  // a served lockout starts afresh
        ++$w['count'];
        $w['last'] = $now;
        if ($w['count'] >= $c['lockout_after']) {
            $w['next'] = $now + $c['lockout_seconds'];
        } elseif ($w['count'] >= $c['slow_after']) {
            $w['next'] = $now + (1 << min($w['count'] - $c['slow_after'], 6));
        }
        // Forget addresses quiet for an hour, so the file stays small.
        if (count($state->data['wrong']) > 10000) {
            $state->data['wrong'] = array_filter($state->data['wrong'],
                fn($r) => $r['next'] > $now || $now - $r['last'] < 3600);
        }
        $state->data['wrong'][$address] = $w;
        ++$site['count'];
        $site['last'] = $now;
        if ($site['count'] >= $c['site_slow_after']) {
            $site['next'] = $now + min(1 << min($site['count'] - $c['site_slow_after'], 10),
                                       $c['site_max_delay']);
        }
        $state->data['site'] = $site;
        $state->save();
        unset($state);
        pq_log('refused: wrong password');
        pq_reply('Wrong password');
    }
    unset($state->data['wrong'][$address]);
    unset($state->data['site']);
    $state->save();
}

// ---- which file a publication may write ---------------------------------------------------

function pq_percent_decode(string $text): ?string {
    if (preg_match('/%(?![0-9A-Fa-f]{2})/', $text)) return null;
    return rawurldecode($text);
}

function pq_is_page_name(string $name): bool {
    return (bool)preg_match('/.\.html?\z/', $name);
}

// The full path of the page named by the "file" field, or null when it is not allowed.
function pq_resolve_target(string $root, string $field): ?string {
    $name = pq_percent_decode($field);
    if ($name === null || $name === '' || strlen($name) > 1024 || $name[0] === '/') return null;
    if (preg_match('/[\x00-\x1F\x7F\\\\]/', $name)) return null;
    $segments = explode('/', $name);
    foreach ($segments as $seg) {
        if ($seg === '' || $seg[0] === '.' || strlen($seg) > 255) return null;
    }
    if (strtolower($segments[0]) === 'pagequill' || !pq_is_page_name(end($segments))) return null;
    $leaf = array_pop($segments);
    $parent = realpath($root . ($segments ? '/' . implode('/', $segments) : ''));
    if ($parent === false || !is_dir($parent) || !pq_inside($parent, $root) ||
        pq_inside($parent, $root . '/pagequill')) {
        return null;
    }
    $target = $parent . '/' . $leaf;
    if (is_link($target)) {
        // A link is followed only to a page inside the site; a dangling one is refused.
        $real = realpath($target);
        if ($real === false || !pq_inside($real, $root) || pq_inside($real, $root . '/pagequill') ||
            !pq_is_page_name(basename($real))) {
            return null;
        }
        $target = $real;
    } elseif (!file_exists($target)) {
        return $target;
    }
    return is_file($target) ? $target : null;
}

// ---- writing a page -----------------------------------------------------------------------

// Serialises writes and revision changes across requests.
function pq_write_lock(array $c) {
    $fp = fopen($c['state_dir'] . '/write.lock', 'c');
    if ($fp === false || !flock($fp, LOCK_EX)) pq_reply('Cannot write the page on the server');
    return $fp;
}

function pq_backup_folder(array $c, string $root, string $target): string {
    $rel = substr($target, strlen($root) + 1);
    return $c['backup_dir'] . '/' . $rel;
}

// Copies the current page into the backup folder as <path>.<YYYYMMDD-HHMMSS>[-n].
function pq_keep_backup(array $c, string $root, string $target): bool {
    $base = pq_backup_folder($c, $root, $target);
    $folder = dirname($base);
    if (!is_dir($folder) && !@mkdir($folder, 0700, true)) return false;
    $time = gmdate('Ymd-His');
    $stamp = $base . '.' . $time;
    // After the newest of this second, never in a gap pruning left: names keep the versions' order.
    $first = 1;
    foreach (pq_revision_files($base) as $f) {
        if (preg_match('/\.(\d{8}-\d{6})(?:-(\d+))?\z/', $f, $m) && $m[1] === $time) {
            $first = max($first, (int)($m[2] ?? 1) + 1);
        }
    }
    for ($n = $first; $n < $first + 1000; ++$n) {
        $name = $n === 1 ? $stamp : $stamp . '-' . $n;
        $out = @fopen($name, 'x');
        if ($out === false) continue;
        $in = @fopen($target, 'rb');
        $ok = $in !== false && stream_copy_to_stream($in, $out) !== false && fflush($out);
        if ($in) fclose($in);
        fclose($out);
        if (!$ok) @unlink($name);
        if ($ok) {
            // A revision's time is when that version was written, as the reference server has it.
            $written = @filemtime($target);
            if ($written !== false) @touch($name, $written);
            pq_prune_revisions($c, $base);
        }
        return $ok;
    }
    return false;
}

function pq_revision_files(string $base): array {
    $files = glob(str_replace(['[', '*', '?'], ['\[', '\*', '\?'], $base) . '.????????-??????*') ?: [];
    $files = array_filter($files, fn($f) => preg_match('/\.\d{8}-\d{6}(-\d+)?\z/', $f));
    // Newest first: by stamp, then by the counter of one second.
    usort($files, function ($a, $b) {
        preg_match('/\.(\d{8}-\d{6})(?:-(\d+))?\z/', $a, $ma);
        preg_match('/\.(\d{8}-\d{6})(?:-(\d+))?\z/', $b, $mb);
        return [$mb[1], (int)($mb[2] ?? 1)] <=> [$ma[1], (int)($ma[2] ?? 1)];
    });
    return array_values($files);
}

function pq_prune_revisions(array $c, string $base): void {
    foreach (array_slice(pq_revision_files($base), $c['revisions']) as $old) @unlink($old);
}

// Writes the bytes beside the page and renames them over it, after keeping a backup.
function pq_write_page(array $c, string $root, string $target, string $bytes): string {
    $existed = file_exists($target);
    $mode = $existed ? (fileperms($target) & 0777) : 0644;
    $dir = dirname($target);
    // Writes hold the write lock, so any temporary file of this page is left from a write
    // that was killed half-way.
    foreach (glob($dir . '/.' . str_replace(['[', '*', '?'], ['\[', '\*', '\?'], basename($target)) . '.pq-*') ?: [] as $left) {
        if (is_file($left) && !is_link($left)) @unlink($left);
    }
    $tmp = null;
    for ($i = 0; $i < 16 && $tmp === null; ++$i) {
        $name = $dir . '/.' . basename($target) . '.pq-' . bin2hex(random_bytes(4));
        $fp = @fopen($name, 'xb');
        if ($fp !== false) $tmp = $name;
    }
    if ($tmp === null) return 'Cannot write the page on the server';
    $ok = fwrite($fp, $bytes) === strlen($bytes) && fflush($fp);
    if ($ok && function_exists('fsync')) $ok = fsync($fp);
    $ok = fclose($fp) && $ok && chmod($tmp, $mode);
    if (!$ok) {
        @unlink($tmp);
        return 'Cannot write the page on the server';
    }
    if ($existed && !pq_keep_backup($c, $root, $target)) {
        @unlink($tmp);
        return 'Cannot keep a backup of the previous page';
    }
    if (!rename($tmp, $target)) {
        @unlink($tmp);
        return 'Cannot write the page on the server';
    }
    return '';
}

// ---- the requests -------------------------------------------------------------------------

function pq_check(array $c): void {
    $f = $c['flags'];
    http_response_code(200);
    echo '@@ok@@' . $f[0] . '@@' . $f[1] . '@@' . $f[2] . '@@';
    exit;
}

function pq_email(array $c): void {
    if ($c['flags'][1] !== 'Y') pq_reply('Password e-mail is not allowed on this site');
    if ($c['email_to'] === '') pq_reply('Password e-mail is not set up on this server');
    $state = new PqState($c['state_dir']);
    $now = time();
    if ($now - (int)$state->data['mail'] < $c['mail_interval']) {
        pq_reply('The password was e-mailed a moment ago - please wait before asking again');
    }
    $state->data['mail'] = $now;
    $state->save();
    unset($state);
    $host = preg_replace('/[^A-Za-z0-9.:\[\]-]/', '', (string)($_SERVER['HTTP_HOST'] ?? '')) ?: 'this website';
    $text = "The Pagequill password of $host is:\n\n" . $c['password'] . "\n\n" .
            'Asked for from ' . ($_SERVER['REMOTE_ADDR'] ?? '?') . ' at ' . gmdate('Y-m-d H:i:s') . " UTC.\n";
    $headers = $c['email_from'] !== '' ? 'From: ' . preg_replace('/[\r\n]/', '', $c['email_from']) : '';
    if (!mail($c['email_to'], "Pagequill password for $host", $text, $headers)) {
        pq_log('the password e-mail could not be sent');
        pq_reply('The password e-mail could not be sent');
    }
    pq_log('password e-mailed to the site owner');
    pq_reply('Sent');
}

function pq_field(string $name): ?string {
    $v = $_POST[$name] ?? null;
    return is_string($v) ? $v : null;
}

function pq_publish(array $c, string $root, string $address): void {
    $passkey = pq_field('passkey');
    $hash = pq_field('hash');
    $action = pq_field('action');
    if ($passkey === null || $hash === null) pq_reply('Incomplete request');
    if ($action === 'revisions' || $action === 'restore' || $action === 'fetch') {
        $file = pq_field('file');
        if ($file === null) pq_reply('Incomplete request');
        pq_authenticate($c, $passkey, $hash, $address);
        pq_revisions($c, $root, $file, $action);
    }
    $file = pq_field('file');
    $html = pq_field('html');
    if ($file === null || $html === null) pq_reply('Incomplete request');
    if (strlen($html) > $c['max_body']) pq_reply('Page too large', 413);  // a body sent without a length
    pq_authenticate($c, $passkey, $hash, $address);
    $target = pq_resolve_target($root, $file);
    if ($target === null) {
        pq_log('refused: file not allowed');
        pq_reply('File not allowed');
    }
    $lock = pq_write_lock($c);
    $base = pq_field('base');
    if ($base !== null && $base !== '') {
        $current = file_exists($target) ? md5_file($target) : md5('');
        if (!hash_equals((string)$current, strtolower($base))) {
            pq_log('refused: page changed since it was opened: ' . $target);
            pq_reply('Conflict@@The page was changed on the website since it was opened');
        }
    }
    $error = pq_write_page($c, $root, $target, $html);
    flock($lock, LOCK_UN);
    if ($error !== '') {
        pq_log($error . ': ' . $target);
        pq_reply($error);
    }
    pq_log('updated ' . $target);
    pq_reply('Updated');
}

function pq_revisions(array $c, string $root, string $file, string $action): void {
    $target = pq_resolve_target($root, $file);
    if ($target === null) pq_reply('File not allowed');
    $lock = pq_write_lock($c);
    $base = pq_backup_folder($c, $root, $target);
    $files = pq_revision_files($base);
    if ($action === 'revisions') {
        http_response_code(200);
        echo '@@ok@@';
        foreach ($files as $f) {
            $id = substr($f, strlen($base) + 1);
            echo $id . '|' . gmdate('Y-m-d\TH:i:s\Z', filemtime($f)) . '|' . filesize($f) . '@@';
        }
        exit;
    }
    $id = pq_field('revision');
    $chosen = null;
    foreach ($files as $f) {
        if ($id !== null && substr($f, strlen($base) + 1) === $id) $chosen = $f;
    }
    if ($chosen === null) pq_reply('No such revision');
    $bytes = file_get_contents($chosen);
    if ($bytes === false) pq_reply('Cannot read that revision');
    if ($action === 'fetch') {
        // The size first: the bytes may hold "@@" themselves, and a reply cut short shows.
        http_response_code(200);
        echo '@@ok@@' . strlen($bytes) . '@@' . $bytes;
        exit;
    }
    $error = pq_write_page($c, $root, $target, $bytes);
    flock($lock, LOCK_UN);
    if ($error !== '') pq_reply($error);
    pq_log('restored ' . $target . ' from ' . $id);
    pq_reply('Updated');
}

// ---- dispatch -----------------------------------------------------------------------------

$siteRoot = realpath(dirname(__DIR__));
if ($siteRoot === false) pq_reply('The site script cannot find its site folder');
$config = pq_load_config($siteRoot);
$address = (string)($_SERVER['REMOTE_ADDR'] ?? '');
$method = $_SERVER['REQUEST_METHOD'] ?? 'GET';

if ($method === 'POST') {
    $length = (int)($_SERVER['CONTENT_LENGTH'] ?? 0);
    $limit = $config['max_body'];
    if ($length > $limit) pq_reply('Page too large', 413);
    if ($length > 0 && empty($_POST) && empty($_FILES)) {
        // PHP drops a body above post_max_size before the script runs.
        pq_reply('Page too large for this server (post_max_size is ' . ini_get('post_max_size') . ')', 413);
    }
    if (($_POST['type'] ?? '') === 'verify') {
        pq_authenticate($config, (string)pq_field('passkey'), (string)pq_field('hash'), $address);
        pq_reply('ok');
    }
    pq_publish($config, $siteRoot, $address);
}

$type = is_string($_GET['type'] ?? null) ? $_GET['type'] : '';
switch ($type) {
    case 'check':
        pq_check($config);
    case 'passkey':
        $key = pq_issue_key($config, $address);
        pq_reply($key);
    case 'email':
        pq_email($config);
    case 'verify':
        $pk = $_GET['passkey'] ?? null;
        $h = $_GET['hash'] ?? null;
        if (!is_string($pk) || !is_string($h)) pq_reply('Incomplete request');
        pq_authenticate($config, $pk, $h, $address);
        pq_reply('ok');
    case 'version':
        pq_reply('ok@@pagequill-php ' . PQ_VERSION);
    default:
        pq_reply('Unknown request');
}
