<?php
// Router for PHP's built-in server (php -S ADDR:PORT -t SITE router.php), for trying the site
// script and for the tests: the files of the site folder, and /pagequill/ to its index.php.
$path = rawurldecode(parse_url($_SERVER['REQUEST_URI'], PHP_URL_PATH) ?? '/');
$root = realpath($_SERVER['DOCUMENT_ROOT']);
if ($path === '/pagequill' || $path === '/pagequill/' || $path === '/pagequill/index.php') {
    chdir($root . '/pagequill');
    require $root . '/pagequill/index.php';
    return true;
}
if (getenv('PQ_VENDOR_CHECK') && $path === '/check.php') {
    echo '@@ok@@';
    return true;
}
$notFound = function () {
    http_response_code(404);
    echo 'Not found';
    return true;
};
// Never hidden names, anything else under /pagequill/, or a link leading out of the site.
if (strpos($path, "\0") !== false || preg_match('#(^|/)\.|^/pagequill/#i', $path)) return $notFound();
$real = realpath($root . $path);
if ($real === false || ($real !== $root && strncmp($real, $root . '/', strlen($root) + 1) !== 0)) {
    return $notFound();
}
if (is_dir($real)) {
    if (substr($path, -1) !== '/') {
        header('Location: ' . $path . '/', true, 301);
        return true;
    }
    foreach (['index.htm', 'index.html'] as $index) {
        if (is_file("$real/$index")) { $real = "$real/$index"; break; }
    }
}
if (!is_file($real)) return $notFound();
$types = ['htm' => 'text/html', 'html' => 'text/html', 'css' => 'text/css', 'js' => 'text/javascript',
          'png' => 'image/png', 'gif' => 'image/gif', 'jpg' => 'image/jpeg', 'jpeg' => 'image/jpeg',
          'svg' => 'image/svg+xml', 'txt' => 'text/plain', 'ico' => 'image/x-icon'];
// No charset added by PHP: the page's own META declaration decides, as with a plain web server.
ini_set('default_charset', '');
$ext = strtolower(pathinfo($real, PATHINFO_EXTENSION));
header('Content-Type: ' . ($types[$ext] ?? 'application/octet-stream'));
header('Cache-Control: no-cache');
readfile($real);
return true;
