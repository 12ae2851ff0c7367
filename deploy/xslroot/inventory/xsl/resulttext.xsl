<?xml version="1.0" encoding="UTF-8"?>
<!-- Templates that write result text statements. Include it with
     <xsl:include href="resulttext.xsl"/> in a stylesheet whose output method
     is text. Each writes its statement only when the value is known, so an
     unknown value leaves the property unset. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">

  <!-- name = "value"; with blanks and line feeds collapsed to one blank. -->
  <xsl:template name="string-property">
    <xsl:param name="name"/>
    <xsl:param name="value"/>
    <xsl:if test="normalize-space($value) != ''">
      <xsl:value-of select="$name"/>
      <xsl:text> = "</xsl:text>
      <xsl:call-template name="quoted-text">
        <xsl:with-param name="text" select="normalize-space($value)"/>
      </xsl:call-template>
      <xsl:text>";&#10;</xsl:text>
    </xsl:if>
  </xsl:template>

  <!-- $text as it may stand inside a quoted value: a double quote that a ";"
       follows (after a blank) would close the value, so it becomes a single
       quote; every other double quote stays. -->
  <xsl:template name="quoted-text">
    <xsl:param name="text"/>
    <xsl:choose>
      <xsl:when test="contains($text, '&quot;')">
        <xsl:variable name="rest" select="substring-after($text, '&quot;')"/>
        <xsl:value-of select="substring-before($text, '&quot;')"/>
        <xsl:choose>
          <xsl:when test="starts-with($rest, ';') or starts-with($rest, ' ;')">'</xsl:when>
          <xsl:otherwise>"</xsl:otherwise>
        </xsl:choose>
        <xsl:call-template name="quoted-text">
          <xsl:with-param name="text" select="$rest"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="$text"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- name = value; for a number, unquoted; nothing for anything else. -->
  <xsl:template name="number-property">
    <xsl:param name="name"/>
    <xsl:param name="value"/>
    <xsl:if test="string(number($value)) != 'NaN'">
      <xsl:value-of select="$name"/>
      <xsl:text> = </xsl:text>
      <xsl:value-of select="normalize-space($value)"/>
      <xsl:text>;&#10;</xsl:text>
    </xsl:if>
  </xsl:template>

  <!-- name = value; for a whole number of at most $digits digits (9 for a
       uint32, 4 for a uint16, 19 for a uint64: a value that fits whatever
       its digits are), unquoted; nothing for anything else, such as a
       negative, fractional or too large value. -->
  <xsl:template name="unsigned-property">
    <xsl:param name="name"/>
    <xsl:param name="value"/>
    <xsl:param name="digits" select="9"/>
    <xsl:variable name="text" select="normalize-space($value)"/>
    <xsl:if test="$text != '' and translate($text, '0123456789', '') = '' and string-length($text) &lt;= $digits">
      <xsl:value-of select="$name"/>
      <xsl:text> = </xsl:text>
      <xsl:value-of select="$text"/>
      <xsl:text>;&#10;</xsl:text>
    </xsl:if>
  </xsl:template>

  <!-- name = TRUE; or FALSE; from 1/yes/true or 0/no/false. -->
  <xsl:template name="boolean-property">
    <xsl:param name="name"/>
    <xsl:param name="value"/>
    <xsl:variable name="word" select="translate(normalize-space($value), 'ERSUTYNOFAL', 'ersutynofal')"/>
    <xsl:choose>
      <xsl:when test="$word = '1' or $word = 'yes' or $word = 'true'">
        <xsl:value-of select="$name"/><xsl:text> = TRUE;&#10;</xsl:text>
      </xsl:when>
      <xsl:when test="$word = '0' or $word = 'no' or $word = 'false'">
        <xsl:value-of select="$name"/><xsl:text> = FALSE;&#10;</xsl:text>
      </xsl:when>
    </xsl:choose>
  </xsl:template>

  <!-- One statement per element of an array: name[00001] = "value"; ...
       The provider orders the elements by the bytes of these names, so the
       index is written with five digits. -->
  <xsl:template name="array-property">
    <xsl:param name="name"/>
    <xsl:param name="values"/>
    <xsl:for-each select="$values">
      <xsl:value-of select="$name"/>
      <xsl:text>[</xsl:text>
      <xsl:value-of select="format-number(position(), '00000')"/>
      <xsl:text>] = "</xsl:text>
      <xsl:call-template name="quoted-text">
        <xsl:with-param name="text" select="normalize-space(.)"/>
      </xsl:call-template>
      <xsl:text>";&#10;</xsl:text>
    </xsl:for-each>
  </xsl:template>
</xsl:stylesheet>
